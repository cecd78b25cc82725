<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>IOSLineDb</name>
    <message>
        <source>Found no LINE messages in %1.</source>
        <translation>在 %1 中找不到 LINE 訊息。</translation>
    </message>
    <message>
        <source>%1 is not a LINE message database this program can read: it has no %2.</source>
        <translation>%1 不是本程式可讀取的 LINE 訊息資料庫：缺少 %2。</translation>
    </message>
    <message>
        <source>Messages cannot be written into %1: it lacks %2.</source>
        <translation>無法將訊息寫入 %1：缺少 %2。</translation>
    </message>
</context>
<context>
    <name>IOSLineStoreCache</name>
    <message>
        <source>%1 cannot be copied into the program's cache: %2</source>
        <translation>無法將 %1 複製到程式的快取：%2</translation>
    </message>
</context>
<context>
    <name>LineLocalDb</name>
    <message>
        <source>The database layout cannot be read: %1</source>
        <translation>無法讀取資料庫結構：%1</translation>
    </message>
    <message>
        <source>The message database cannot be created: %1</source>
        <translation>無法建立訊息資料庫：%1</translation>
    </message>
    <message>
        <source>%1 is not a message database of this program (the table %2 is missing).</source>
        <translation>%1 不是本程式的訊息資料庫（缺少資料表 %2）。</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Ferrowyn</source>
        <translation>Ferrowyn</translation>
    </message>
</context>
<context>
    <name>_LineGroup</name>
    <message>
        <source>[GROUP] %1</source>
        <translation>[群組] %1</translation>
    </message>
    <message>
        <source>[GROUP] %1: </source>
        <translation>[群組] %1: </translation>
    </message>
</context>
<context>
    <name>_LineMsg</name>
    <message>
        <source>[IMAGE]</source>
        <translation>[圖片]</translation>
    </message>
    <message>
        <source>[VIDEO]</source>
        <translation>[影片]</translation>
    </message>
    <message>
        <source>[VOICE]</source>
        <translation>[語音訊息]</translation>
    </message>
    <message>
        <source>[STICKER-%1]</source>
        <translation>[貼圖-%1]</translation>
    </message>
    <message>
        <source>Contact: %1</source>
        <translation>聯絡人: %1</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>位置資訊</translation>
    </message>
</context>
<context>
    <name>_LineUser</name>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
</context>
</TS>
