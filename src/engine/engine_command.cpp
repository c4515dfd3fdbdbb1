#include "engine/engine_command.h"

namespace mv {

const char* CommandVariant(int code) {
    switch (code) {
        case XA_CMD_PING:
        case XA_CMD_INPUT_MODULE_QUERY:
        case XA_CMD_OUTPUT_MODULE_QUERY:
        case XA_CMD_CODEC_MODULE_QUERY:
        case XA_CMD_SET_PLAYER_MODE:
        case XA_CMD_SET_INPUT_MODULE:
        case XA_CMD_SET_INPUT_POSITION_RANGE:
        case XA_CMD_SET_INPUT_TIMECODE_GRANULARITY:
        case XA_CMD_SET_OUTPUT_MODULE:
        case XA_CMD_SET_OUTPUT_CHANNELS:
        case XA_CMD_SET_OUTPUT_PORTS:
        case XA_CMD_SET_CODEC_QUALITY:
        case XA_CMD_SET_NOTIFICATION_MASK:
        case XA_CMD_SET_DEBUG_LEVEL:
            return "I";
        case XA_CMD_INPUT_SEEK:
            return "II";
        case XA_CMD_SET_OUTPUT_VOLUME:
            return "III";
        case XA_CMD_INPUT_OPEN:
        case XA_CMD_INPUT_MODULE_REGISTER:
        case XA_CMD_OUTPUT_OPEN:
        case XA_CMD_OUTPUT_MODULE_REGISTER:
        case XA_CMD_CODEC_MODULE_REGISTER:
        case XA_CMD_GET_PLAYER_ENVIRONMENT_INTEGER:
        case XA_CMD_GET_PLAYER_ENVIRONMENT_STRING:
        case XA_CMD_UNSET_PLAYER_ENVIRONMENT:
        case XA_CMD_SET_INPUT_NAME:
        case XA_CMD_SET_OUTPUT_NAME:
            return "S";
        case XA_CMD_SET_PLAYER_ENVIRONMENT_STRING:
            return "SS";
        case XA_CMD_INPUT_ADD_FILTER:
        case XA_CMD_INPUT_REMOVE_FILTER:
        case XA_CMD_OUTPUT_ADD_FILTER:
        case XA_CMD_OUTPUT_REMOVE_FILTER:
        case XA_CMD_SET_PLAYER_ENVIRONMENT_INTEGER:
            return "SI";
        case XA_CMD_INPUT_SEND_MESSAGE:
        case XA_CMD_OUTPUT_SEND_MESSAGE:
        case XA_CMD_CODEC_SEND_MESSAGE:
            return "IPI";
        case XA_CMD_SET_CODEC_EQUALIZER:
            return "P";
        default:
            break;
    }
    const bool command = code >= XA_CMD_SYNCHRONIZE && code <= XA_CMD_GET_DEBUG_LEVEL &&
                         !(code >= 53 && code <= 56) && code != 67 && code != 68;
    return command ? "N" : nullptr;
}

}  // namespace mv
