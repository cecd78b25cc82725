<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
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
<context>
    <name>IOSMergeWAFiles2iTunesBKThread</name>
    <message>
        <source>Transferring files...</source>
        <translation>正在傳輸檔案...</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>檔案: %1</translation>
    </message>
    <message>
        <source>can not overwrite %1</source>
        <translation>無法覆寫 %1</translation>
    </message>
</context>
<context>
    <name>IOSiTunesBKSetPasswordThread</name>
    <message>
        <source>Verifying. Please wait...</source>
        <translation>正在驗證，請稍候...</translation>
    </message>
</context>
</TS>
