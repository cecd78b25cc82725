<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>IOSLineDb</name>
    <message>
        <source>Found no LINE messages in %1.</source>
        <translation>%1 に LINE のメッセージが見つかりません。</translation>
    </message>
    <message>
        <source>%1 is not a LINE message database this program can read: it has no %2.</source>
        <translation>%1 は本プログラムで読み込める LINE のメッセージデータベースではありません（%2 がありません）。</translation>
    </message>
    <message>
        <source>Messages cannot be written into %1: it lacks %2.</source>
        <translation>%1 にメッセージを書き込めません（%2 がありません）。</translation>
    </message>
</context>
<context>
    <name>IOSLineStoreCache</name>
    <message>
        <source>%1 cannot be copied into the program's cache: %2</source>
        <translation>%1 をプログラムのキャッシュにコピーできません: %2</translation>
    </message>
</context>
<context>
    <name>LineLocalDb</name>
    <message>
        <source>The database layout cannot be read: %1</source>
        <translation>データベースの構成を読み込めません: %1</translation>
    </message>
    <message>
        <source>The message database cannot be created: %1</source>
        <translation>メッセージデータベースを作成できません: %1</translation>
    </message>
    <message>
        <source>%1 is not a message database of this program (the table %2 is missing).</source>
        <translation>%1 は本プログラムのメッセージデータベースではありません（テーブル %2 がありません）。</translation>
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
</TS>
