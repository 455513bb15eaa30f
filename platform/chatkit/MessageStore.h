// The Messages database of one phone, opened over an existing sms.db. It
// reads the iOS 5 tables by column name, so a database copied from a real
// phone opens whatever order its columns were added in, and it writes rows
// the way the phone's own frameworks leave them (direction, read state,
// dates, conversations and attachment files). A database it cannot read
// properly is refused at open, and nothing is ever written to it.
#pragma once

#include "MessageRecord.h"
#include "Statement.h"
#include "StatementCache.h"

#include <foundation/Result.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace chatkit {

// One part of a message as stored: a text, or media kept in a file under the
// SMS folder (or, in old MMS rows, inline in the database).
struct StoredPart {
    enum class Kind {
        Text,
        Media,
    };
    Kind kind { Kind::Text };
    std::string text;
    std::string mimeType;
    std::string filename; // the name shown to the user
    std::string devicePath; // empty for inline data
    std::filesystem::path hostPath;
    std::vector<uint8_t> inlineData;
    std::string transferGUID;
};

// One row as the simulator's dump shows it.
struct MessageSummary {
    int64_t rowID { 0 };
    std::string address;
    std::string text;
    MessageKind kind { MessageKind::SMS };
    bool outgoing { false };
    bool read { false };
    int64_t date { 0 }; // Unix seconds, 0 when unset
};

struct Attachment {
    std::vector<uint8_t> data;
    std::string mimeType;
    std::string filename;
};

// A message to write. SMS rows join the conversation of `groupID`, or that
// of `address` when no group is given; iMessage rows carry `guid` (a fresh
// one when empty) and their attachments as files.
struct NewMessage {
    MessageKind kind { MessageKind::SMS };
    bool outgoing { false };
    std::string address;
    std::string text;
    double unixDate { 0 }; // 0: now
    std::string guid;
    std::optional<int64_t> groupID;
    // Without a groupID, an SMS's conversation is made with the message, in
    // its transaction, for these members (none: the address alone), so a
    // message the database refuses leaves no empty conversation behind.
    std::vector<std::string> groupAddresses;
    std::vector<Attachment> attachments;
};

class MessageStore : public std::enable_shared_from_this<MessageStore> {
public:
    // Opens an existing database; never creates one.
    static foundation::Result<std::unique_ptr<MessageStore>> open(const std::filesystem::path& databasePath);
    ~MessageStore();
    MessageStore(const MessageStore&) = delete;
    MessageStore& operator=(const MessageStore&) = delete;

    const std::filesystem::path& databasePath() const { return m_databasePath; }
    bool isReadOnly() const { return m_readOnly; }
    bool hasMadridColumns() const;

    std::optional<StoredMessage> message(int64_t rowID);
    // The parts in the order the phone shows them: the text, then media.
    // Media whose file is missing are left out.
    std::vector<StoredPart> parts(const StoredMessage&);
    std::vector<MessageSummary> list();
    // The `limit` newest rows (highest ROWID), in row order: read backwards
    // from the end of the table, so the cost does not grow with its size.
    std::vector<MessageSummary> newest(size_t limit);
    // How many rows the message table holds.
    int64_t count();

    // The new row's ROWID, or why nothing was written (SQLite's own reason
    // when the database refused).
    foundation::Result<int64_t> insert(const NewMessage&);
    // Marks an incoming message read; answers false when nothing could be
    // written (no such row, or the database refused).
    bool markAsRead(int64_t rowID);

    // The SMS conversation (msg_group) whose members are these addresses.
    std::optional<int64_t> groupFor(const std::vector<std::string>& addresses, bool create);
    std::vector<std::string> groupMembers(int64_t groupID);
    bool markGroupRead(int64_t groupID);
    bool markHandleRead(const std::string& handle);
    bool setUnreadCount(int64_t groupID, int64_t count);
    std::optional<int64_t> unreadCount(int64_t groupID);

    // The iMessage chat (madrid_chat) with one handle.
    bool hasChat(const std::string& handle);
    bool ensureChat(const std::string& handle);

    // Copying the write-ahead log back into the database (a checkpoint, which
    // flushes both files to disk) is the slowest step a write can set off.
    // Left to itself SQLite takes it inside whichever commit fills the log
    // past CheckpointPages, so a banner tap that marks a message read would
    // now and then wait for it. Given a scheduler, the store hands it the
    // checkpoint to run later, once per filled log, and takes it inside a
    // commit only when the log has grown past ForcedCheckpointPages (the
    // scheduled one never came). A scheduled checkpoint holds the store
    // weakly (it must be owned by a shared_ptr): one that runs after the
    // store has closed does nothing.
    static constexpr int CheckpointPages = 1000;
    static constexpr int ForcedCheckpointPages = 4 * CheckpointPages;
    using CheckpointScheduler = std::function<void(std::function<void()> checkpoint)>;
    void setCheckpointScheduler(CheckpointScheduler);
    // Copies what it can of the log into the database without waiting for
    // readers or writers.
    void checkpoint();

    // Where a path the phone stored (an attachment or part file) lives on
    // this machine; nothing for a path outside the SMS folder.
    std::optional<std::filesystem::path> hostPathFor(std::string_view devicePath, std::string_view relativeFolder) const;

private:
    enum Column {
        Address,
        Date,
        Text,
        Flags,
        GroupID,
        Read,
        IsMadrid,
        MadridHandle,
        MadridGuid,
        MadridAccount,
        MadridAccountGuid,
        MadridService,
        MadridRoomname,
        MadridFlags,
        MadridError,
        MadridDateRead,
        MadridDateDelivered,
        ColumnCount,
    };
    struct Table {
        bool exists { false };
        std::vector<std::string> columns;
        bool has(std::string_view column) const;
    };

    // The store's files by role: MessageSchema.cpp (tables and the column
    // map), MessageReader.cpp, MessageWriter.cpp, Conversations.cpp (groups
    // and chats); statements come from a StatementCache.
    MessageStore(sqlite3*, std::filesystem::path, bool readOnly);
    StatementCache::Lease prepared(const std::string& sql);
    foundation::Result<void> load();
    Table describe(const std::string& table);
    std::string selectList() const;
    StoredMessage readRow(const Statement&) const;
    MessageSummary summaryOf(const Statement&) const;
    std::optional<int64_t> groupForLocked(const std::vector<std::string>& addresses, bool create);
    bool ensureChatLocked(const std::string& handle);
    std::optional<int64_t> insertRow(const std::string& table, const Table&, const std::vector<std::pair<std::string, SQLValue>>&);
    std::vector<StoredPart> piecesOf(const StoredMessage&);
    std::vector<StoredPart> attachmentsOf(const StoredMessage&);
    bool writeAttachment(int64_t messageRowID, const Attachment&, double unixDate, bool incoming, std::vector<std::filesystem::path>& written);
    void bumpCounter(const char* key);
    bool canWrite(std::string_view what);

    sqlite3* m_db { nullptr };
    std::filesystem::path m_databasePath;
    std::filesystem::path m_folder;
    bool m_readOnly { false };
    std::recursive_mutex m_lock;
    std::vector<std::string> m_tables;
    Table m_message;
    Table m_pieces;
    std::string m_piecesQuery; // built on first use, from the columns msg_pieces has
    Table m_group;
    Table m_member;
    Table m_attachment;
    Table m_chat;
    Table m_properties;
    bool m_hasColumn[ColumnCount] {};
    static int walCommitted(void* store, sqlite3*, const char* database, int pages);
    CheckpointScheduler m_scheduleCheckpoint;
    bool m_checkpointScheduled { false };
    Statement m_selectOne;
    StatementCache m_prepared;
};

} // namespace chatkit
