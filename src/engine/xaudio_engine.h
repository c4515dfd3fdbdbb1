/*
 * Public C interface of the audio engine library (bin/libmv_xaudio.so).
 *
 * The player component loads the library with dlopen() and resolves the
 * seventeen entry points below by name; the XA_*_fn typedefs give the exact
 * function types for the dlsym() casts. The library reports interface
 * version 3.8.
 *
 * Change log of this header (kept short; every change is announced here):
 *   - first version.
 *   - control_message_send_*: an unknown command code is queued and answered
 *     by a nack (XA_ERROR_NOT_SUPPORTED) instead of being refused by the
 *     result; only a null player is still refused by the result.
 *   - documentation only: the WAV output's pace, and which settings are
 *     stored without effect.
 *
 * ---------------------------------------------------------------------------
 * Threads and notifications
 *
 * Every engine player owns one decoder thread. The control_message_send_*
 * functions only queue a command and return at once; the decoder thread
 * executes the commands one at a time in the order they were sent and answers
 * every command with exactly one XA_NOTIFY_ACK or XA_NOTIFY_NACK record (plus
 * whatever notifications the command causes, queued before its ack).
 *
 * Notification records go into a per-player queue inside the engine. The
 * caller is told that records are waiting through an eventfd that the CALLER
 * owns (it stands in for the hidden notification window):
 *
 *   1. The caller creates it, e.g. eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC), and
 *      passes a pointer to the descriptor to player_new(). The engine copies
 *      the number; it never reads or closes the descriptor.
 *   2. After queuing records the engine adds 1 to the eventfd (an 8-byte
 *      write), so the descriptor becomes readable.
 *   3. On the GUI thread (QSocketNotifier, type Read) the caller first reads
 *      the eventfd (8 bytes; this resets it), then calls
 *      control_win32_params_to_message(player, &msg, XA_NOTIFY_WINDOW_MESSAGE,
 *      0, 0) repeatedly: each call that returns 0 has filled msg with the next
 *      record; the first non-zero result means the queue is empty. Reading
 *      the descriptor before draining guarantees that a record queued during
 *      the drain makes the descriptor readable again.
 *   4. The caller closes the descriptor after player_delete() has returned.
 *
 * A negative descriptor (or a null pointer) is allowed: records are still
 * queued and can be drained by polling.
 *
 * Ownership of record contents: text fields and references in a record
 * (XA_Message.ptr4/ptr8/ptr12) point into memory owned by the engine player.
 * They stay valid until the next call of control_win32_params_to_message()
 * for the same player, or until player_delete(), whichever comes first. Copy
 * what you need to keep. Only one thread (the GUI thread) may drain a player.
 *
 * Arguments of the send functions are copied before the function returns:
 * texts are copied, and the XA_EqualizerInfo behind SetCodecEqualizer is
 * copied by value, so the caller's memory need not outlive the call.
 *
 * ---------------------------------------------------------------------------
 * Values the engine gives meaning to
 *
 * Player state (XA_NOTIFY_PLAYER_STATE, byte at offset 4):
 *   0 stopped, 1 playing, 2 paused, 3 end of stream.
 *
 * Input position (XA_NOTIFY_INPUT_POSITION): offset at 4 on the range at 8.
 *   The range is 400 unless SetInputPositionRange changed it. While playing
 *   at least 5 positions are sent per second of real time. InputSeek(offset,
 *   range) jumps to offset/range of the stream (range 0 is refused).
 *
 * Stream duration (XA_NOTIFY_STREAM_DURATION): milliseconds.
 * Stream parameters: frequency in Hz, bitrate in kbit/s (0 if unknown),
 *   number of channels of the stream.
 * Timecode: hours, minutes, seconds, hundredths of the position in the stream.
 *
 * Volume: SetOutputVolume(master, pcm, balance). Each value is 0..100, or -1
 *   to leave it unchanged; any other value is refused (nack). The program
 *   uses pcm (the second value) as its volume. The sound is scaled in
 *   software by gain(master) * gain(pcm) with
 *       gain(v) = (v / 100)^2
 *   so 0 is silent, 100 is full scale (no change), 50 is 0.25 (-12 dB).
 *   Balance is stored and reported (XA_NOTIFY_OUTPUT_VOLUME) but not applied.
 *
 * Speed: SetPlayerEnvironmentInteger("OUTPUT.DIRECTSOUND.PITCH", v) with v in
 *   0..2000 plays at v/1000 times the normal rate, like a tape running
 *   faster or slower (tempo and pitch change together): 1000 normal, 2000
 *   twice as fast (half the duration), 500 half speed. Values below 50 are
 *   taken as 50 (the slowest usable rate, 1/20); values below 0 or above
 *   2000 are refused (nack) and the speed stays as it was.
 *   "OUTPUT.DIRECTSOUND.WINDOW" is accepted and ignored. Other names are
 *   stored and given back by GetPlayerEnvironmentInteger.
 *
 * Equalizer: SetCodecEqualizer(&info) switches the equalizer on,
 *   SetCodecEqualizer(NULL) switches it off (flat). Band set 0 (bytes 0-31)
 *   applies to the left channel, band set 1 (bytes 32-63) to the right. Band
 *   k covers the k-th of 32 equal slices of 0 .. sample rate / 2 (at 44.1 kHz
 *   about 689 Hz each: band 0 is 0-689 Hz). A band value v (signed byte) is
 *   a gain of 0.15 * v dB: +80 is +12 dB, -80 is -12 dB, 0 leaves the band
 *   alone. GetCodecEqualizer is answered by XA_NOTIFY_CODEC_EQUALIZER whose
 *   reference at ptr4 is the equalizer in effect (all zero when off).
 *
 * Output: the modules "pulse,alsa" are tried in that order. When the
 *   environment variable MP3VANDREL_AUDIO_OUT is "wav:FILE", the sound is
 *   written to the WAV file FILE instead (16-bit PCM at the stream's rate),
 *   created (emptied) when output opens or the format changes. It is written
 *   at the pace of real time, 30 ms ahead at most, like a sound device, so
 *   commands meet the sound at the same point; it is complete once
 *   OutputClose is answered or player_delete has returned. OutputModuleRegister(name) is
 * acknowledged (any name, the output modules are built in). OutputClose closes the device; the next
 * Play opens it again.
 *
 * Stored and reported, without effect on the sound: the priority, the
 *   player mode, the output ports, the codec quality, the notification mask
 *   (every notification is always sent), the debug level, the timecode
 *   granularity and the balance.
 *
 * Errors: a file that is missing, unreadable or not MPEG audio gives an
 *   XA_NOTIFY_ERROR record (source XA_SOURCE_INPUT, code < 0, message text)
 *   and a nack of InputOpen. Commands that the engine does not implement
 *   are nacked with XA_ERROR_NOT_SUPPORTED.
 */
#ifndef MV_ENGINE_XAUDIO_ENGINE_H
#define MV_ENGINE_XAUDIO_ENGINE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* ------------------------------------------------------------------------ */
/* Version word: major in bits 16-23, minor in bits 8-15.                     */

#define XA_VERSION_MAJOR 3
#define XA_VERSION_MINOR 8
#define XA_VERSION_WORD ((XA_VERSION_MAJOR << 16) | (XA_VERSION_MINOR << 8))

/* ------------------------------------------------------------------------ */
/* Result and error codes (results of the entry points, Nack and Error codes) */

#define XA_SUCCESS 0
#define XA_FAILURE (-1)
#define XA_ERROR_OUT_OF_MEMORY (-2)
#define XA_ERROR_INVALID_PARAMETERS (-3)
#define XA_ERROR_NOT_SUPPORTED (-4)
#define XA_ERROR_NO_MESSAGE (-5)     /* drain: the queue is empty */
#define XA_ERROR_NOT_A_MESSAGE (-6)  /* drain: wrong message number */
#define XA_ERROR_NO_INPUT (-7)       /* command needs an open input */
#define XA_ERROR_OPEN_FAILED (-8)    /* input file missing or unreadable */
#define XA_ERROR_INVALID_STREAM (-9) /* input is not MPEG audio */
#define XA_ERROR_OUTPUT_FAILED (-10) /* no output device could be opened */
#define XA_ERROR_SEEK_FAILED (-11)
#define XA_ERROR_DECODE_FAILED (-12)

/* The "window message number" that control_win32_params_to_message accepts
 * for draining; numbers below 0x9000 are never engine notifications. */
#define XA_NOTIFY_WINDOW_MESSAGE 0x9000u

/* ------------------------------------------------------------------------ */
/* Command codes (sent through control_message_send_*), 2..72.               */

#define XA_CMD_SYNCHRONIZE 2                     /* N */
#define XA_CMD_PING 3                            /* I tag */
#define XA_CMD_PLAY 4                            /* N */
#define XA_CMD_PAUSE 5                           /* N */
#define XA_CMD_STOP 6                            /* N */
#define XA_CMD_INPUT_SEEK 7                      /* II offset, range */
#define XA_CMD_INPUT_OPEN 8                      /* S path */
#define XA_CMD_INPUT_CLOSE 9                     /* N */
#define XA_CMD_INPUT_SEND_MESSAGE 10             /* IPI */
#define XA_CMD_INPUT_ADD_FILTER 11               /* SI */
#define XA_CMD_INPUT_REMOVE_FILTER 12            /* SI */
#define XA_CMD_INPUT_FILTER_LIST 13              /* N */
#define XA_CMD_INPUT_MODULE_REGISTER 14          /* S */
#define XA_CMD_INPUT_MODULE_QUERY 15             /* I */
#define XA_CMD_INPUT_MODULES_LIST 16             /* N */
#define XA_CMD_OUTPUT_OPEN 17                    /* S */
#define XA_CMD_OUTPUT_CLOSE 18                   /* N */
#define XA_CMD_OUTPUT_SEND_MESSAGE 19            /* IPI */
#define XA_CMD_OUTPUT_MUTE 20                    /* N */
#define XA_CMD_OUTPUT_UNMUTE 21                  /* N */
#define XA_CMD_OUTPUT_RESET 22                   /* N */
#define XA_CMD_OUTPUT_DRAIN 23                   /* N */
#define XA_CMD_OUTPUT_ADD_FILTER 24              /* SI */
#define XA_CMD_OUTPUT_REMOVE_FILTER 25           /* SI */
#define XA_CMD_OUTPUT_FILTER_LIST 26             /* N */
#define XA_CMD_OUTPUT_MODULE_REGISTER 27         /* S */
#define XA_CMD_OUTPUT_MODULE_QUERY 28            /* I */
#define XA_CMD_OUTPUT_MODULES_LIST 29            /* N */
#define XA_CMD_CODEC_SEND_MESSAGE 30             /* IPI */
#define XA_CMD_CODEC_MODULE_REGISTER 31          /* S */
#define XA_CMD_CODEC_MODULE_QUERY 32             /* I */
#define XA_CMD_CODEC_MODULES_LIST 33             /* N */
#define XA_CMD_SET_PLAYER_MODE 34                /* I */
#define XA_CMD_GET_PLAYER_MODE 35                /* N */
#define XA_CMD_SET_PLAYER_ENVIRONMENT_INTEGER 36 /* SI */
#define XA_CMD_GET_PLAYER_ENVIRONMENT_INTEGER 37 /* S */
#define XA_CMD_SET_PLAYER_ENVIRONMENT_STRING 38  /* SS */
#define XA_CMD_GET_PLAYER_ENVIRONMENT_STRING 39  /* S */
#define XA_CMD_UNSET_PLAYER_ENVIRONMENT 40       /* S */
#define XA_CMD_SET_INPUT_NAME 41                 /* S */
#define XA_CMD_GET_INPUT_NAME 42                 /* N */
#define XA_CMD_SET_INPUT_MODULE 43               /* I */
#define XA_CMD_GET_INPUT_MODULE 44               /* N */
#define XA_CMD_SET_INPUT_POSITION_RANGE 45       /* I */
#define XA_CMD_GET_INPUT_POSITION_RANGE 46       /* N */
#define XA_CMD_SET_INPUT_TIMECODE_GRANULARITY 47 /* I */
#define XA_CMD_GET_INPUT_TIMECODE_GRANULARITY 48 /* N */
#define XA_CMD_SET_OUTPUT_NAME 49                /* S */
#define XA_CMD_GET_OUTPUT_NAME 50                /* N */
#define XA_CMD_SET_OUTPUT_MODULE 51              /* I */
#define XA_CMD_GET_OUTPUT_MODULE 52              /* N */
#define XA_CMD_SET_OUTPUT_VOLUME 57              /* III master, pcm, balance */
#define XA_CMD_GET_OUTPUT_VOLUME 58              /* N */
#define XA_CMD_SET_OUTPUT_CHANNELS 59            /* I */
#define XA_CMD_GET_OUTPUT_CHANNELS 60            /* N */
#define XA_CMD_SET_OUTPUT_PORTS 61               /* I */
#define XA_CMD_GET_OUTPUT_PORTS 62               /* N */
#define XA_CMD_SET_CODEC_QUALITY 63              /* I */
#define XA_CMD_GET_CODEC_QUALITY 64              /* N */
#define XA_CMD_SET_CODEC_EQUALIZER 65            /* P XA_EqualizerInfo or NULL */
#define XA_CMD_GET_CODEC_EQUALIZER 66            /* N */
#define XA_CMD_SET_NOTIFICATION_MASK 69          /* I */
#define XA_CMD_GET_NOTIFICATION_MASK 70          /* N */
#define XA_CMD_SET_DEBUG_LEVEL 71                /* I */
#define XA_CMD_GET_DEBUG_LEVEL 72                /* N */

/* ------------------------------------------------------------------------ */
/* Notification codes, 73..123. Payload offsets are byte offsets in          */
/* XA_Message; "text@4" means the pointer field ptr4 (see XA_Message).       */

#define XA_NOTIFY_READY 73                      /* none */
#define XA_NOTIFY_ACK 74                        /* u8@4 command */
#define XA_NOTIFY_NACK 75                       /* u8@4 command, s16@6 error code */
#define XA_NOTIFY_PONG 76                       /* u32@4 tag */
#define XA_NOTIFY_EXITED 77                     /* none */
#define XA_NOTIFY_PLAYER_STATE 78               /* u8@4 state */
#define XA_NOTIFY_PLAYER_MODE 79                /* u32@4 mode */
#define XA_NOTIFY_PLAYER_ENVIRONMENT_INTEGER 80 /* text@4 name, s32@8 value */
#define XA_NOTIFY_PLAYER_ENVIRONMENT_STRING 81  /* text@4 name, text@8 value */
#define XA_NOTIFY_INPUT_STATE 82                /* u8@4 state (0 closed, 1 open) */
#define XA_NOTIFY_INPUT_NAME 83                 /* text@4 name */
#define XA_NOTIFY_INPUT_CAPS 84                 /* u32@4 caps */
#define XA_NOTIFY_INPUT_POSITION 85             /* u32@4 offset, u32@8 range */
#define XA_NOTIFY_INPUT_POSITION_RANGE 86       /* u32@4 range */
#define XA_NOTIFY_INPUT_TIMECODE 87             /* u8@4 h, u8@5 m, u8@6 s, u8@7 1/100 s */
#define XA_NOTIFY_INPUT_TIMECODE_GRANULARITY 88 /* u32@4 */
#define XA_NOTIFY_INPUT_MODULE 89               /* s16@4 id */
#define XA_NOTIFY_INPUT_MODULE_INFO 90          /* u8@4 id, u8@5 devices, text@8, text@12 */
#define XA_NOTIFY_INPUT_DEVICE_INFO 91          /* u8@4, u8@5, u8@6, text@8, text@12 */
#define XA_NOTIFY_INPUT_FILTER_INFO 92          /* text@4 name, u8@8 id */
#define XA_NOTIFY_OUTPUT_STATE 93               /* u8@4 state (0 closed, 1 open) */
#define XA_NOTIFY_OUTPUT_NAME 94                /* text@4 name */
#define XA_NOTIFY_OUTPUT_CAPS 95                /* u32@4 caps */
#define XA_NOTIFY_OUTPUT_VOLUME 100             /* u8@4 master, u8@5 pcm, u8@6 balance */
#define XA_NOTIFY_OUTPUT_BALANCE 101            /* u8@6 balance */
#define XA_NOTIFY_OUTPUT_PCM_LEVEL 102          /* u8@5 pcm */
#define XA_NOTIFY_OUTPUT_MASTER_LEVEL 103       /* u8@4 master */
#define XA_NOTIFY_OUTPUT_CHANNELS 104           /* u8@4 channels */
#define XA_NOTIFY_OUTPUT_PORTS 105              /* u8@4 ports */
#define XA_NOTIFY_OUTPUT_MODULE 106             /* s16@4 id */
#define XA_NOTIFY_OUTPUT_MODULE_INFO 107        /* as 90 */
#define XA_NOTIFY_OUTPUT_DEVICE_INFO 108        /* as 91 */
#define XA_NOTIFY_OUTPUT_FILTER_INFO 109        /* text@4 name, u8@8 id */
#define XA_NOTIFY_STREAM_MIME_TYPE 110          /* text@4 */
#define XA_NOTIFY_STREAM_DURATION 111           /* u32@4 milliseconds */
#define XA_NOTIFY_STREAM_PARAMETERS 112         /* u32@4 Hz, s16@8 kbit/s, u8@10 channels */
#define XA_NOTIFY_STREAM_PROPERTIES 113         /* u32@4 count, ref@8 properties */
#define XA_NOTIFY_CODEC_QUALITY 114             /* u8@4 */
#define XA_NOTIFY_CODEC_EQUALIZER 115           /* ref@4 -> XA_EqualizerInfo */
#define XA_NOTIFY_CODEC_MODULE 116              /* s16@4 id */
#define XA_NOTIFY_CODEC_MODULE_INFO 117         /* as 90 */
#define XA_NOTIFY_CODEC_DEVICE_INFO 118         /* as 91 */
#define XA_NOTIFY_NOTIFICATION_MASK 119         /* u32@4 */
#define XA_NOTIFY_DEBUG_LEVEL 120               /* u8@4 */
#define XA_NOTIFY_PROGRESS 121                  /* u8@4, u8@5, s16@6, text@8 */
#define XA_NOTIFY_DEBUG 122                     /* u8@4 source, u8@5 level, text@8 */
#define XA_NOTIFY_ERROR 123                     /* u8@4 source, s16@6 code, text@8 */

/* Player states (XA_NOTIFY_PLAYER_STATE). */
#define XA_PLAYER_STATE_STOPPED 0
#define XA_PLAYER_STATE_PLAYING 1
#define XA_PLAYER_STATE_PAUSED 2
#define XA_PLAYER_STATE_EOS 3

/* Sources of XA_NOTIFY_ERROR / XA_NOTIFY_DEBUG. */
#define XA_SOURCE_PLAYER 0
#define XA_SOURCE_INPUT 1
#define XA_SOURCE_OUTPUT 2
#define XA_SOURCE_CODEC 3

/* Default position range. */
#define XA_DEFAULT_POSITION_RANGE 400

/* Player environment names the engine gives meaning to. */
#define XA_ENV_PITCH "OUTPUT.DIRECTSOUND.PITCH"
#define XA_ENV_WINDOW "OUTPUT.DIRECTSOUND.WINDOW"

/* ------------------------------------------------------------------------ */
/* Records                                                                   */

/* Notification record, 64-bit Linux layout (48 bytes, alignment 8).
 *
 *   offset  0  int32   code
 *   offset  4  bytes 4..23: numbers at the offsets of the 32-bit record
 *              (u8 at 4,5,6,7,8,10; s16 at 4,6,8; 32-bit at 4,8), little
 *              endian; read them with the xa_message_* helpers below
 *   offset 24  ptr4    the text or reference the 32-bit record has at 4
 *   offset 32  ptr8    the text or reference the 32-bit record has at 8
 *   offset 40  ptr12   the text or reference the 32-bit record has at 12
 *
 * A text field is a const char* to a zero-terminated 8-bit string; a null
 * pointer reads as the empty string. The bytes of the numeric area that the
 * 32-bit record would use for a pointer are zero. */
typedef struct XA_Message {
    int32_t code;
    uint8_t payload[20];
    const void* ptr4;
    const void* ptr8;
    const void* ptr12;
} XA_Message;

/* Equalizer: two band sets of 32 signed values, left then right. */
typedef struct XA_EqualizerInfo {
    int8_t left[32];
    int8_t right[32];
} XA_EqualizerInfo;

/* Stream property, passed through by reference (the engine sends none). */
typedef struct XA_Property {
    const char* name;
    const char* value;
} XA_Property;

#ifdef __cplusplus
static_assert(sizeof(void*) != 8 || sizeof(XA_Message) == 48, "XA_Message layout");
static_assert(offsetof(XA_Message, code) == 0, "XA_Message layout");
static_assert(offsetof(XA_Message, payload) == 4, "XA_Message layout");
static_assert(sizeof(void*) != 8 || offsetof(XA_Message, ptr4) == 24, "XA_Message layout");
static_assert(sizeof(void*) != 8 || offsetof(XA_Message, ptr8) == 32, "XA_Message layout");
static_assert(sizeof(void*) != 8 || offsetof(XA_Message, ptr12) == 40, "XA_Message layout");
static_assert(sizeof(XA_EqualizerInfo) == 64, "XA_EqualizerInfo layout");
static_assert(offsetof(XA_EqualizerInfo, right) == 32, "XA_EqualizerInfo layout");
#else
_Static_assert(sizeof(void*) != 8 || sizeof(XA_Message) == 48, "XA_Message layout");
_Static_assert(offsetof(XA_Message, payload) == 4, "XA_Message layout");
_Static_assert(sizeof(void*) != 8 || offsetof(XA_Message, ptr4) == 24, "XA_Message layout");
_Static_assert(sizeof(void*) != 8 || offsetof(XA_Message, ptr8) == 32, "XA_Message layout");
_Static_assert(sizeof(void*) != 8 || offsetof(XA_Message, ptr12) == 40, "XA_Message layout");
_Static_assert(sizeof(XA_EqualizerInfo) == 64, "XA_EqualizerInfo layout");
#endif

/* Readers for the numeric area, by byte offset within the record (4..23). */
static inline uint8_t xa_message_u8(const XA_Message* m, int offset) {
    return m->payload[offset - 4];
}
static inline int16_t xa_message_s16(const XA_Message* m, int offset) {
    return (int16_t)(uint16_t)(m->payload[offset - 4] | (m->payload[offset - 3] << 8));
}
static inline uint32_t xa_message_u32(const XA_Message* m, int offset) {
    return (uint32_t)m->payload[offset - 4] | ((uint32_t)m->payload[offset - 3] << 8) |
           ((uint32_t)m->payload[offset - 2] << 16) | ((uint32_t)m->payload[offset - 1] << 24);
}
/* Text field by its 32-bit record offset (4, 8 or 12); never null. */
static inline const char* xa_message_text(const XA_Message* m, int offset) {
    const void* p = offset == 4 ? m->ptr4 : offset == 8 ? m->ptr8 : m->ptr12;
    return p ? (const char*)p : "";
}

/* ------------------------------------------------------------------------ */
/* Entry points                                                              */

typedef struct XA_Player XA_Player; /* opaque engine player */

/* Creates a player and its decoder thread. notify_fd points to the caller's
 * eventfd (see the top of this file); may be null. Returns 0 and sets
 * *player on success; a negative XA_ERROR_* otherwise. Queues XA_NOTIFY_READY. */
int player_new(XA_Player** player, const int* notify_fd);
/* Stops playback, joins the decoder thread, frees everything. Null is a no-op.
 * Returns 0. */
int player_delete(XA_Player* player);
/* Priority of the decoder thread, stored and reported (default 3; 0..6 accepted,
 * other values give XA_ERROR_INVALID_PARAMETERS). */
int player_set_priority(XA_Player* player, int priority);
int player_get_priority(XA_Player* player);
/* Static English text for a result/error code; never null. */
const char* xaudio_error_string(int code);
/* XA_VERSION_WORD for every component number. */
unsigned long xaudio_get_version(int component);

/* Queue one command. Return 0 when queued, XA_ERROR_INVALID_PARAMETERS for a
 * null player, XA_ERROR_OUT_OF_MEMORY otherwise. An unknown code is nacked
 * (XA_ERROR_NOT_SUPPORTED); a command sent with another variant than the one
 * its code lists above is nacked (XA_ERROR_INVALID_PARAMETERS). */
int control_message_send_N(XA_Player* player, int code);
int control_message_send_P(XA_Player* player, int code, const void* ptr);
int control_message_send_S(XA_Player* player, int code, const char* s);
int control_message_send_SS(XA_Player* player, int code, const char* s1, const char* s2);
int control_message_send_SI(XA_Player* player, int code, const char* s, int i);
int control_message_send_IPI(XA_Player* player, int code, int i1, const void* p, int i2);
int control_message_send_I(XA_Player* player, int code, int i);
int control_message_send_II(XA_Player* player, int code, int i1, int i2);
int control_message_send_III(XA_Player* player, int code, int i1, int i2, int i3);
int control_message_send_IIII(XA_Player* player, int code, int i1, int i2, int i3, int i4);

/* Drain one notification: with message == XA_NOTIFY_WINDOW_MESSAGE fills *msg
 * with the oldest queued record and returns 0; returns XA_ERROR_NO_MESSAGE when
 * the queue is empty, XA_ERROR_NOT_A_MESSAGE for any other message number,
 * XA_ERROR_INVALID_PARAMETERS for a null player or msg. wparam and lparam are
 * unused (pass 0). */
int control_win32_params_to_message(XA_Player* player, XA_Message* msg, unsigned int message,
                                    uintptr_t wparam, intptr_t lparam);

/* Function types for dlsym(). */
typedef int (*XA_player_new_fn)(XA_Player**, const int*);
typedef int (*XA_player_delete_fn)(XA_Player*);
typedef int (*XA_player_set_priority_fn)(XA_Player*, int);
typedef int (*XA_player_get_priority_fn)(XA_Player*);
typedef const char* (*XA_xaudio_error_string_fn)(int);
typedef unsigned long (*XA_xaudio_get_version_fn)(int);
typedef int (*XA_control_message_send_N_fn)(XA_Player*, int);
typedef int (*XA_control_message_send_P_fn)(XA_Player*, int, const void*);
typedef int (*XA_control_message_send_S_fn)(XA_Player*, int, const char*);
typedef int (*XA_control_message_send_SS_fn)(XA_Player*, int, const char*, const char*);
typedef int (*XA_control_message_send_SI_fn)(XA_Player*, int, const char*, int);
typedef int (*XA_control_message_send_IPI_fn)(XA_Player*, int, int, const void*, int);
typedef int (*XA_control_message_send_I_fn)(XA_Player*, int, int);
typedef int (*XA_control_message_send_II_fn)(XA_Player*, int, int, int);
typedef int (*XA_control_message_send_III_fn)(XA_Player*, int, int, int, int);
typedef int (*XA_control_message_send_IIII_fn)(XA_Player*, int, int, int, int, int);
typedef int (*XA_control_win32_params_to_message_fn)(XA_Player*, XA_Message*, unsigned int,
                                                     uintptr_t, intptr_t);

#ifdef __cplusplus
}
#endif

#endif /* MV_ENGINE_XAUDIO_ENGINE_H */
