// Statements prepared once for a connection's life and lent out for one use
// each: when the lease ends the statement is reset, which clears its
// bindings and lets go of its read snapshot. A statement already lent out (a
// nested use of the same SQL) is prepared afresh for the second borrower.
// Not thread-safe: its owner serialises the uses.
#pragma once

#include "Statement.h"

#include <string>
#include <unordered_map>

struct sqlite3;

namespace chatkit {

class StatementCache {
    struct Prepared {
        Statement statement;
        bool leased { false };
    };

public:
    class Lease {
    public:
        explicit Lease(Prepared& cached)
            : m_cached(&cached)
        {
            cached.leased = true;
        }
        explicit Lease(Statement own)
            : m_own(std::move(own))
        {
        }
        ~Lease()
        {
            if (m_cached) {
                m_cached->statement.reset();
                m_cached->leased = false;
            }
        }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        Statement& operator*() { return m_cached ? m_cached->statement : m_own; }
        Statement* operator->() { return &**this; }

    private:
        Prepared* m_cached { nullptr };
        Statement m_own;
    };

    explicit StatementCache(sqlite3* db)
        : m_db(db)
    {
    }

    Lease lease(const std::string& sql)
    {
        auto entry = m_prepared.try_emplace(sql).first;
        // A statement that could not be prepared (a busy schema) is tried again.
        if (!entry->second.statement.isValid())
            entry->second.statement = Statement(m_db, sql);
        if (entry->second.leased)
            return Lease(Statement(m_db, sql));
        return Lease(entry->second);
    }

    // Finalises every statement (before the connection closes).
    void clear() { m_prepared.clear(); }

private:
    sqlite3* m_db;
    std::unordered_map<std::string, Prepared> m_prepared;
};

} // namespace chatkit
