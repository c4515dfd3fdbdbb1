#include "poll_store.h"

namespace mv {

std::unique_ptr<PollStore> OpenPollStore(const std::string& database) {
    if (database.starts_with("postgresql://") || database.starts_with("postgres://"))
        return OpenPostgresStore(database);
    if (database.empty()) throw StoreError("no database given");
    return OpenSqliteStore(database);
}

}  // namespace mv
