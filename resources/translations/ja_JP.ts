<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>BubbleMarkup</name>
    <message>
        <source>Contact:</source>
        <translation>連絡先:</translation>
    </message>
</context>
<context>
    <name>ExportMessagesHtml</name>
    <message>
        <source>Ferrowyn</source>
        <translation>Ferrowyn</translation>
    </message>
</context>
<context>
    <name>ExportMessagesThread</name>
    <message>
        <source>IDS_EXPORTING_MESSAGES_TO_FILE</source>
        <translation>メッセージをエクスポートしています...</translation>
    </message>
    <message>
        <source>Messages: %1/%2</source>
        <translation>メッセージ: %1/%2</translation>
    </message>
    <message>
        <source>IDS_SUC_EXPORT_%1_MMS</source>
        <translation>%1 件のメッセージをエクスポートしました。</translation>
    </message>
    <message>
        <source>not support export format.</source>
        <translation>この形式のエクスポートには対応していません。</translation>
    </message>
    <message>
        <source>Can not create the folder %1.</source>
        <translation>フォルダ %1 を作成できません。</translation>
    </message>
</context>
<context>
    <name>LineBubblePageBuilder</name>
    <message>
        <source>&lt;&lt;Previous Page</source>
        <translation>&lt;&lt;前のページ</translation>
    </message>
    <message>
        <source>&gt;&gt;Next Page</source>
        <translation>&gt;&gt;次のページ</translation>
    </message>
</context>
<context>
    <name>LineBubbleViewMgr</name>
    <message>
        <source>Ferrowyn</source>
        <translation>Ferrowyn</translation>
    </message>
    <message>
        <source>can not find %1.</source>
        <translation>%1 が見つかりません。</translation>
    </message>
    <message>
        <source>Can not copy %1.</source>
        <translation>%1 をコピーできません。</translation>
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
