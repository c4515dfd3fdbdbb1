// A stand-alone front for the play command until it joins mp3vandrel-cli.
#include <CLI/CLI.hpp>

#include "cli/play_command.h"

int main(int argc, char** argv) {
    CLI::App app{"Plays MP3 files through the audio engine"};
    app.require_subcommand(1);
    int exitCode = 0;
    mv::AddPlayCommand(app, exitCode);
    CLI11_PARSE(app, argc, argv);
    return exitCode;
}
