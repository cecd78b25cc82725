-- Schema of a local message database ("vantorel-line.db"), run once when the file is created.
CREATE TABLE line_chat(
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    uid VARCHAR,
    type VARCHAR
);
CREATE INDEX index_line_chat_uid ON line_chat(uid);

CREATE TABLE line_user(
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    uid VARCHAR,
    contact_name VARCHAR,
    server_name VARCHAR,
    create_ts LONG,
    pic_uri VARCHAR,
    custom_name VARCHAR
);
CREATE INDEX index_line_user_uid ON line_user(uid);

CREATE TABLE line_group(
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    uid VARCHAR,
    creator_id INTEGER,
    name VARCHAR,
    pic_status VARCHAR,
    create_ts LONG
);
CREATE INDEX index_line_group_uid ON line_group(uid);
CREATE INDEX index_line_group_creator_id ON line_group(creator_id);

CREATE TABLE line_chat_users(
    chat_id INTEGER,
    user_id INTEGER,
    PRIMARY KEY(chat_id, user_id)
);

CREATE TABLE line_group_members(
    group_id INTEGER,
    user_id INTEGER,
    PRIMARY KEY(group_id, user_id)
);

CREATE TABLE line_msg(
    _id INTEGER PRIMARY KEY AUTOINCREMENT,
    uid VARCHAR,
    type VARCHAR,
    ts LONG,
    delivered_ts LONG,
    chat_id INTEGER,
    from_id INTEGER,
    content TEXT,
    atta BLOB,
    ver INTEGER
);
CREATE INDEX index_line_msg_chat_ts ON line_msg(chat_id, ts);
CREATE INDEX index_line_msg_uid ON line_msg(uid);
CREATE INDEX _vr_idx_line_msg_ts ON line_msg(ts);
