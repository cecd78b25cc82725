<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
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
        <translation>[グループ] %1</translation>
    </message>
    <message>
        <source>[GROUP] %1: </source>
        <translation>[グループ] %1: </translation>
    </message>
</context>
<context>
    <name>_LineMsg</name>
    <message>
        <source>[IMAGE]</source>
        <translation>[写真]</translation>
    </message>
    <message>
        <source>[VIDEO]</source>
        <translation>[動画]</translation>
    </message>
    <message>
        <source>[VOICE]</source>
        <translation>[ボイスメッセージ]</translation>
    </message>
    <message>
        <source>[STICKER-%1]</source>
        <translation>[スタンプ-%1]</translation>
    </message>
    <message>
        <source>Contact: %1</source>
        <translation>連絡先: %1</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>位置情報</translation>
    </message>
</context>
<context>
    <name>_LineUser</name>
    <message>
        <source>Unknown</source>
        <translation>不明</translation>
    </message>
</context>
<context>
    <name>IOSMergeWAFiles2iTunesBKThread</name>
    <message>
        <source>Transferring files...</source>
        <translation>ファイルを転送しています...</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>ファイル: %1</translation>
    </message>
    <message>
        <source>can not overwrite %1</source>
        <translation>%1 を上書きできません</translation>
    </message>
</context>
<context>
    <name>IOSiTunesBKSetPasswordThread</name>
    <message>
        <source>Verifying. Please wait...</source>
        <translation>確認しています。しばらくお待ちください...</translation>
    </message>
</context>
</TS>
