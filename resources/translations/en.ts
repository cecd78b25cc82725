<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>BubbleMarkup</name>
    <message>
        <source>Contact:</source>
        <translation>Contact:</translation>
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
        <translation>Exporting Messages...</translation>
    </message>
    <message>
        <source>Messages: %1/%2</source>
        <translation>Messages: %1/%2</translation>
    </message>
    <message>
        <source>IDS_SUC_EXPORT_%1_MMS</source>
        <translation>Successfully exported %1 Messages.</translation>
    </message>
    <message>
        <source>not support export format.</source>
        <translation>not support export format.</translation>
    </message>
    <message>
        <source>Can not create the folder %1.</source>
        <translation>Can not create the folder %1.</translation>
    </message>
</context>
<context>
    <name>LineBubblePageBuilder</name>
    <message>
        <source>&lt;&lt;Previous Page</source>
        <translation>&lt;&lt;Previous Page</translation>
    </message>
    <message>
        <source>&gt;&gt;Next Page</source>
        <translation>&gt;&gt;Next Page</translation>
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
        <translation>can not find %1.</translation>
    </message>
    <message>
        <source>Can not copy %1.</source>
        <translation>Can not copy %1.</translation>
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
        <translation>[GROUP] %1</translation>
    </message>
    <message>
        <source>[GROUP] %1: </source>
        <translation>[GROUP] %1: </translation>
    </message>
</context>
<context>
    <name>_LineMsg</name>
    <message>
        <source>[IMAGE]</source>
        <translation>[IMAGE]</translation>
    </message>
    <message>
        <source>[VIDEO]</source>
        <translation>[VIDEO]</translation>
    </message>
    <message>
        <source>[VOICE]</source>
        <translation>[VOICE]</translation>
    </message>
    <message>
        <source>[STICKER-%1]</source>
        <translation>[STICKER-%1]</translation>
    </message>
    <message>
        <source>Contact: %1</source>
        <translation>Contact: %1</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Location</translation>
    </message>
</context>
<context>
    <name>_LineUser</name>
    <message>
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
</context>
</TS>
