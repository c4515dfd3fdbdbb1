// mp3vandrel-server: the program's web server. Serves the version documents
// and the poll over HTTP; the poll is administered from this command line
// against the database, never over HTTP.
//   mp3vandrel-server serve --database DB --docs FOLDER [--host H] [--port P]
//   mp3vandrel-server poll new --database DB QUESTION OPTION...
//   mp3vandrel-server poll list --database DB
//   mp3vandrel-server poll results --database DB [QUESTION_NO]
// DB is a SQLite file or a postgresql:// URL.
#include <httplib.h>
#include <pthread.h>
#include <signal.h>
#include <sys/resource.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <thread>

#include "fronted_server.h"
#include "mv_version.h"
#include "platform/text_encoding.h"
#include "poll_service.h"
#include "poll_store.h"

namespace {

// Why a poll cannot be stored, or empty. Checked before the store is opened.
std::string PollProblem(const std::string& question, const std::vector<std::string>& options) {
    if (options.empty()) return "a poll needs at least one option";
    if (options.size() > mv::kMaxPollOptions)
        return "a poll has at most " + std::to_string(mv::kMaxPollOptions) +
               " options (one digit counts them on the wire)";
    std::vector<std::string> texts{question};
    texts.insert(texts.end(), options.begin(), options.end());
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string what = i == 0 ? "the question" : "option " + std::to_string(i);
        if (!mv::IsValidUtf8(texts[i])) return what + " is not valid UTF-8";
        if (const auto problem = mv::WireTextProblem(texts[i]); !problem.empty())
            return what + " " + problem;
    }
    return {};
}

int NewPoll(const std::string& database, const std::string& question,
            const std::vector<std::string>& options) {
    if (const auto problem = PollProblem(question, options); !problem.empty()) {
        std::fprintf(stderr, "mp3vandrel-server: refused: %s\n", problem.c_str());
        return 2;
    }
    auto store = mv::OpenPollStore(database);
    store->CreatePoll({question, options});
    std::printf("Question %zu is now the current question.\n", store->Questions().size());
    return 0;
}

int ListPolls(const std::string& database) {
    auto store = mv::OpenPollStore(database);
    const auto questions = store->Questions();
    for (size_t i = 0; i < questions.size(); ++i)
        std::printf("%zu%s %s\n", i + 1, i + 1 == questions.size() ? "*" : "",
                    questions[i].c_str());
    if (questions.empty()) std::printf("No polls yet.\n");
    return 0;
}

int ShowResults(const std::string& database, long long questionNo) {
    auto store = mv::OpenPollStore(database);
    const auto questions = store->Questions();
    if (questionNo == 0) questionNo = static_cast<long long>(questions.size());
    const auto counts = store->Results(questionNo);
    if (!counts) {
        std::fprintf(stderr, "mp3vandrel-server: there is no question %lld\n", questionNo);
        return 1;
    }
    std::printf("%lld %s\n", questionNo, questions[static_cast<size_t>(questionNo - 1)].c_str());
    for (const auto& [option, votes] : *counts) std::printf("  %lld  %s\n", votes, option.c_str());
    return 0;
}

// Connections the descriptor limit allows (raised to its hard limit), leaving
// room for the workers' files and the database.
size_t ConnectionBound(size_t wanted) {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return wanted;
    limit.rlim_cur = limit.rlim_max;
    setrlimit(RLIMIT_NOFILE, &limit);
    getrlimit(RLIMIT_NOFILE, &limit);
    const rlim_t reserve = 200;
    if (limit.rlim_cur == RLIM_INFINITY) return wanted;
    return limit.rlim_cur <= reserve ? 16 : std::min<size_t>(wanted, limit.rlim_cur - reserve);
}

int Serve(const std::string& database, const std::string& docs, const std::string& host, int port,
          size_t perAddress) {
    // SIGTERM and SIGINT go to one waiting thread, which stops the server;
    // every other thread has them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    auto store = mv::OpenPollStore(database);
    mv::FrontedServer server;
    mv::InstallPollService(server, {*store, docs, {}});
    mv::RequestFrontParams params;
    params.maxConnections = ConnectionBound(params.maxConnections);
    params.maxPerAddress = perAddress;
    params.handle = server.FrontHandler();
    params.log = [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); };
    mv::RequestFront front(std::move(params));
    const int bound = front.Bind(host, port);
    if (bound < 0) {
        std::fprintf(stderr, "mp3vandrel-server: cannot listen on %s:%d\n", host.c_str(), port);
        return 1;
    }
    std::printf("mp3vandrel-server: serving on %s:%d\n", host.c_str(), bound);
    std::fflush(stdout);

    std::thread waiter([&] {
        int sig = 0;
        sigwait(&stopSignals, &sig);
        front.Stop();
    });
    front.Run();  // returns once the waiter has stopped it
    waiter.join();
    std::fprintf(stderr, "mp3vandrel-server: stopped\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"mp3vandrel-server: version documents and the poll of Mp3 Vandrel"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "mp3vandrel-server " MV_VERSION);
    std::string database;
    const char* dbHelp = "SQLite file, or a postgresql:// URL";

    auto* serve = app.add_subcommand("serve", "Serve the version documents and the poll");
    std::string docs, host = "127.0.0.1";
    int port = 8080;
    serve->add_option("--database", database, dbHelp)->required();
    serve
        ->add_option("--docs", docs,
                     "Folder with " + mv::DocumentFileName(mv::kVersionDocument) + " and " +
                         mv::DocumentFileName(mv::kLinkDocument))
        ->required()
        ->check(CLI::ExistingDirectory);
    serve->add_option("--host", host, "Address to listen on")->capture_default_str();
    serve->add_option("--port", port, "Port (0: any free port)")
        ->check(CLI::Range(0, 65535))
        ->capture_default_str();
    size_t perAddress = mv::RequestFrontParams{}.maxPerAddress;
    serve
        ->add_option("--max-per-address", perAddress,
                     "Connections one client address may hold open (0: no bound)")
        ->capture_default_str();

    auto* poll = app.add_subcommand("poll", "Administer the poll");
    poll->require_subcommand(1);
    auto* pollNew = poll->add_subcommand("new", "Add a poll; it becomes the current question");
    std::string question;
    std::vector<std::string> options;
    pollNew->add_option("--database", database, dbHelp)->required();
    pollNew->add_option("QUESTION", question, "The question")->required();
    pollNew->add_option("OPTION", options, "The options (1 to 9)")->required();
    auto* pollList = poll->add_subcommand("list", "List the questions (* marks the current one)");
    pollList->add_option("--database", database, dbHelp)->required();
    auto* pollResults = poll->add_subcommand("results", "Show the votes of one question");
    long long questionNo = 0;
    pollResults->add_option("--database", database, dbHelp)->required();
    pollResults->add_option("QUESTION_NO", questionNo, "Question number (default: the current)")
        ->check(CLI::PositiveNumber);

    CLI11_PARSE(app, argc, argv);
    try {
        if (serve->parsed()) return Serve(database, docs, host, port, perAddress);
        if (pollNew->parsed()) return NewPoll(database, question, options);
        if (pollList->parsed()) return ListPolls(database);
        if (pollResults->parsed()) return ShowResults(database, questionNo);
    } catch (const mv::StoreError& e) {
        std::fprintf(stderr, "mp3vandrel-server: %s\n", e.what());
        return 1;
    }
    return 0;
}
