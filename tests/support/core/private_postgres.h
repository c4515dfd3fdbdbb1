#pragma once

#include <glob.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace mv::test {

// A PostgreSQL server of its own in a temporary folder, on a free loopback
// port, for the tests and the benchmark of the PostgreSQL back end. initdb
// refuses to run as root, so a root caller runs the server as the `postgres`
// user the package creates. Start() says why it could not start; a missing
// installation is the one reason callers skip for.
class PrivatePostgres {
  public:
    ~PrivatePostgres() {
        if (started_) Run(Bin("pg_ctl") + " -D " + data_ + " -m immediate -w stop >/dev/null 2>&1");
        if (!folder_.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(folder_, ec);
        }
    }

    // Empty on success.
    std::string Start() {
        glob_t found{};
        if (glob("/usr/lib/postgresql/*/bin/initdb", 0, nullptr, &found) == 0 && found.gl_pathc > 0)
            bin_ = std::filesystem::path(found.gl_pathv[found.gl_pathc - 1]).parent_path();
        globfree(&found);
        if (bin_.empty()) {
            missing_ = true;
            return "PostgreSQL's initdb and pg_ctl are not installed (scripts/setup.sh installs "
                   "them)";
        }
        if (geteuid() == 0) {
            const passwd* pw = getpwnam("postgres");
            if (pw == nullptr) {
                missing_ = true;
                return "running as root and there is no postgres user to run the server as";
            }
            asUser_ = "runuser -u postgres -- ";
            uid_ = pw->pw_uid;
            gid_ = pw->pw_gid;
        }
        char pattern[] = "/tmp/mv_pg_XXXXXX";
        if (mkdtemp(pattern) == nullptr) return "cannot make a temporary folder";
        folder_ = pattern;
        if (!asUser_.empty() && chown(folder_.c_str(), uid_, gid_) != 0)
            return "cannot give the folder to the postgres user";
        data_ = folder_ + "/data";
        if (Run(Bin("initdb") + " -D " + data_ + " -A trust -U postgres -E UTF8 --locale=C " +
                "--no-sync >" + folder_ + "/initdb.log 2>&1") != 0)
            return "initdb failed (see " + folder_ + "/initdb.log)";
        port_ = FreePort();
        const std::string options = "-p " + std::to_string(port_) + " -k " + folder_ +
                                    " -c listen_addresses=127.0.0.1 -c fsync=off " +
                                    "-c max_connections=200";
        if (Run(Bin("pg_ctl") + " -D " + data_ + " -l " + folder_ + "/server.log -o '" + options +
                "' -w -t 30 start >/dev/null 2>&1") != 0)
            return "pg_ctl could not start the server (see " + folder_ + "/server.log)";
        started_ = true;
        return {};
    }
    bool Missing() const { return missing_; }

    std::string Url(const std::string& database = "postgres") const {
        return "postgresql://postgres@127.0.0.1:" + std::to_string(port_) + "/" + database;
    }

    // A new empty database; its URL, or empty when it could not be made.
    std::string FreshDatabase(const std::string& name) {
        PGconn* c = PQconnectdb(Url().c_str());
        bool ok = PQstatus(c) == CONNECTION_OK;
        if (ok) {
            PGresult* r = PQexec(c, ("CREATE DATABASE " + name).c_str());
            ok = PQresultStatus(r) == PGRES_COMMAND_OK;
            PQclear(r);
        }
        PQfinish(c);
        return ok ? Url(name) : std::string();
    }

  private:
    std::string Bin(const char* tool) const { return asUser_ + (bin_ / tool).string(); }
    static int Run(const std::string& command) { return std::system(command.c_str()); }
    static int FreePort() {
        const int s = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
        close(s);
        return ntohs(a.sin_port);
    }

    std::filesystem::path bin_;
    std::string asUser_;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    std::string folder_, data_;
    int port_ = 0;
    bool started_ = false;
    bool missing_ = false;
};

}  // namespace mv::test
