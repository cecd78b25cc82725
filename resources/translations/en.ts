<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
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
<context>
    <name>IOSMergeWAFiles2iTunesBKThread</name>
    <message>
        <source>Transferring files...</source>
        <translation>Transferring files...</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>File: %1</translation>
    </message>
    <message>
        <source>can not overwrite %1</source>
        <translation>can not overwrite %1</translation>
    </message>
</context>
<context>
    <name>IOSiTunesBKSetPasswordThread</name>
    <message>
        <source>Verifying. Please wait...</source>
        <translation>Verifying. Please wait...</translation>
    </message>
</context>
</TS>
