#include "Schema.h"

#include "MessageRecord.h"

#include <foundation/SqliteFileFaults.h>

#include <sqlite3.h>
#include <system_error>

namespace chatkit {

namespace {

    constexpr const char* schemaSQL = R"SQL(
PRAGMA journal_mode = WAL;
BEGIN;
CREATE TABLE _SqliteDatabaseProperties (key TEXT, value TEXT, UNIQUE(key));
CREATE TABLE message (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, address TEXT, date INTEGER,
  text TEXT, flags INTEGER, replace INTEGER, svc_center TEXT, group_id INTEGER,
  association_id INTEGER, height INTEGER, UIFlags INTEGER, version INTEGER, subject TEXT,
  country TEXT, headers BLOB, recipients BLOB, read INTEGER,
  madrid_attributedBody BLOB, madrid_handle TEXT, madrid_version INTEGER, madrid_guid TEXT,
  madrid_type INTEGER, madrid_roomname TEXT, madrid_service TEXT, madrid_account TEXT,
  madrid_flags INTEGER, madrid_attachmentInfo BLOB, madrid_url TEXT, madrid_error INTEGER,
  is_madrid INTEGER, madrid_date_read INTEGER, madrid_date_delivered INTEGER,
  madrid_account_guid TEXT);
CREATE TABLE msg_pieces (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, message_id INTEGER, data BLOB,
  part_id INTEGER, preview_part INTEGER, content_type TEXT, height INTEGER, version INTEGER,
  flags INTEGER, content_id TEXT, content_loc TEXT, headers BLOB);
CREATE TABLE msg_group (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, type INTEGER,
  newest_message INTEGER, unread_count INTEGER, hash INTEGER);
CREATE TABLE group_member (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, group_id INTEGER,
  address TEXT, country TEXT);
CREATE TABLE madrid_attachment (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, attachment_guid TEXT,
  created_date INTEGER, start_date INTEGER, filename TEXT, uti_type TEXT, mime_type TEXT,
  transfer_state INTEGER, is_incoming INTEGER, message_id INTEGER);
CREATE TABLE madrid_chat (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, style INTEGER, state INTEGER,
  account_id TEXT, properties BLOB, chat_identifier TEXT, service_name TEXT, guid TEXT,
  room_name TEXT, account_login TEXT, participants BLOB);

CREATE INDEX message_group_index ON message(group_id, ROWID);
CREATE INDEX message_flags_index ON message(flags);
CREATE INDEX madrid_guid_index ON message(madrid_guid);
CREATE INDEX madrid_handle_service_index ON message(madrid_handle, madrid_service);
CREATE INDEX madrid_roomname_service_index ON message(madrid_roomname, madrid_service);
CREATE INDEX pieces_message_index ON msg_pieces(message_id);
CREATE INDEX group_id_index ON group_member(group_id);
CREATE INDEX madrid_attachment_message_index ON madrid_attachment(message_id);
CREATE INDEX madrid_attachment_guid_index ON madrid_attachment(attachment_guid);
CREATE INDEX madrid_attachment_filename_index ON madrid_attachment(filename);
CREATE INDEX madrid_chat_style_index ON madrid_chat(style);
CREATE INDEX madrid_chat_state_index ON madrid_chat(state);
CREATE INDEX madrid_chat_account_id_index ON madrid_chat(account_id);
CREATE INDEX madrid_chat_chat_identifier_index ON madrid_chat(chat_identifier);
CREATE INDEX madrid_chat_service_name_index ON madrid_chat(service_name);
CREATE INDEX madrid_chat_guid_index ON madrid_chat(guid);
CREATE INDEX madrid_chat_room_name_index ON madrid_chat(room_name);
CREATE INDEX madrid_chat_account_login_index ON madrid_chat(account_login);

CREATE TRIGGER insert_unread_message AFTER INSERT ON message WHEN NOT read(new.flags)
BEGIN
  UPDATE msg_group SET unread_count = (SELECT unread_count FROM msg_group WHERE ROWID = new.group_id) + 1
    WHERE ROWID = new.group_id;
END;
CREATE TRIGGER mark_message_unread AFTER UPDATE ON message WHEN read(old.flags) AND NOT read(new.flags)
BEGIN
  UPDATE msg_group SET unread_count = (SELECT unread_count FROM msg_group WHERE ROWID = new.group_id) + 1
    WHERE ROWID = new.group_id;
END;
CREATE TRIGGER mark_message_read AFTER UPDATE ON message WHEN NOT read(old.flags) AND read(new.flags)
BEGIN
  UPDATE msg_group SET unread_count = (SELECT unread_count FROM msg_group WHERE ROWID = new.group_id) - 1
    WHERE ROWID = new.group_id;
END;
CREATE TRIGGER delete_message AFTER DELETE ON message WHEN NOT read(old.flags)
BEGIN
  UPDATE msg_group SET unread_count = (SELECT unread_count FROM msg_group WHERE ROWID = old.group_id) - 1
    WHERE ROWID = old.group_id;
END;
CREATE TRIGGER insert_newest_message AFTER INSERT ON message WHEN new.ROWID >=
  IFNULL((SELECT MAX(ROWID) FROM message WHERE message.group_id = new.group_id), 0)
BEGIN
  UPDATE msg_group SET newest_message = new.ROWID WHERE ROWID = new.group_id;
END;
CREATE TRIGGER delete_newest_message AFTER DELETE ON message WHEN old.ROWID =
  (SELECT newest_message FROM msg_group WHERE ROWID = old.group_id)
BEGIN
  UPDATE msg_group SET newest_message = (SELECT MAX(ROWID) FROM message WHERE group_id = old.group_id)
    WHERE ROWID = old.group_id;
END;
CREATE TRIGGER delete_pieces AFTER DELETE ON message
BEGIN
  DELETE FROM msg_pieces WHERE msg_pieces.message_id = old.ROWID;
END;

INSERT INTO _SqliteDatabaseProperties (key, value) VALUES ('_ClientVersion', '21');
INSERT INTO _SqliteDatabaseProperties (key, value) VALUES ('counter_in_all', '0');
INSERT INTO _SqliteDatabaseProperties (key, value) VALUES ('counter_out_all', '0');
COMMIT;
)SQL";

    void readFunction(sqlite3_context* context, int argc, sqlite3_value** argv)
    {
        if (argc != 1 || sqlite3_value_type(argv[0]) == SQLITE_NULL) {
            sqlite3_result_int(context, 0);
            return;
        }
        sqlite3_result_int(context, smsFlagsAreRead(sqlite3_value_int64(argv[0])) ? 1 : 0);
    }

} // namespace

bool registerReadFunction(sqlite3* db)
{
    return sqlite3_create_function_v2(db, "read", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &readFunction, nullptr, nullptr, nullptr) == SQLITE_OK;
}

foundation::Result<void> createDatabase(const std::filesystem::path& path)
{
    std::error_code ec;
    if (std::filesystem::exists(path, ec) && std::filesystem::file_size(path, ec) > 0)
        return foundation::Error("sms.db already exists at " + path.string());
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), ec);
    for (const char* folder : { "Attachments", "Parts", "Drafts" })
        std::filesystem::create_directories(path.parent_path() / folder, ec);

    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, foundation::faultableSqliteVfs()) != SQLITE_OK) {
        foundation::Error error("cannot create " + path.string() + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
        sqlite3_close(db);
        return error;
    }
    registerReadFunction(db);
    char* message = nullptr;
    foundation::Result<void> result;
    if (sqlite3_exec(db, schemaSQL, nullptr, nullptr, &message) != SQLITE_OK) {
        result = foundation::Error(std::string("cannot write the schema: ") + (message ? message : "unknown error"));
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    sqlite3_free(message);
    sqlite3_close(db);
    return result;
}

} // namespace chatkit
