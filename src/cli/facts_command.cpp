#include "cli/facts_command.h"

#include <atomic>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/facts_fields.h"
#include "cli/interrupt_watch.h"
#include "cli/row_output.h"

// facts: what the window's facts column shows, for scripts.
namespace mv::cli {
namespace {

struct FactsOptions {
    std::vector<std::string> files;
    FormatOptions output;  // -z, --format
};

std::vector<std::string> Columns() {
    std::vector<std::string> columns = {"path"};
    columns.insert(columns.end(), FactsColumns().begin(), FactsColumns().end());
    return columns;
}

int RunFacts(const FactsOptions& opts, CommandIo& io) {
    std::atomic<bool> stop{false};
    InterruptWatch interrupt(stop);
    FactsBatchParams params;
    params.paths = opts.files;
    params.hash = HashWhich::All;
    const FactsBatchResult gathered = GatherToolFacts(std::move(params), stop, io.err);

    int code = kExitOk;
    const std::vector<std::string> columns = Columns();
    RowWriter writer(io.out, opts.output.Resolve(), columns, columns.size());
    for (const std::string& file : opts.files) {
        const auto it = gathered.facts.find(file);
        if (it == gathered.facts.end()) continue;  // stopped before its turn
        const MediaFacts& facts = it->second;
        if (facts.status == FactsStatus::Unreadable) {
            // As tag show does: the message, the other files, then 1.
            io.err << "Unable to read file " << file << ": " << facts.problem << '\n';
            code = kExitFailure;
            continue;
        }
        std::vector<std::string> fields = {file};
        for (std::string& field : FactsFields(&facts)) fields.push_back(std::move(field));
        writer.Write(fields, FactsJson(file, &facts));
    }
    writer.Finish();
    if (interrupt.Interrupted()) return kExitInterrupted;
    return code;
}

}  // namespace

void AddFactsCommand(CLI::App& app, CommandList& commands) {
    auto opts = std::make_shared<FactsOptions>();
    CLI::App* sub = app.add_subcommand(
        "facts", "Writes the size, length, bitrate, tags and audio hash of each FILE");
    AddFormatOptions(sub, opts->output);
    sub->add_option("FILE", opts->files, "The files")->required();
    commands.push_back({sub, [opts](CommandIo& io) { return RunFacts(*opts, io); }});
}

}  // namespace mv::cli
