<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>IOSLineDb</name>
    <message>
        <source>Found no LINE messages in %1.</source>
        <translation>Found no LINE messages in %1.</translation>
    </message>
    <message>
        <source>%1 is not a LINE message database this program can read: it has no %2.</source>
        <translation>%1 is not a LINE message database this program can read: it has no %2.</translation>
    </message>
    <message>
        <source>Messages cannot be written into %1: it lacks %2.</source>
        <translation>Messages cannot be written into %1: it lacks %2.</translation>
    </message>
</context>
<context>
    <name>IOSLineStoreCache</name>
    <message>
        <source>%1 cannot be copied into the program's cache: %2</source>
        <translation>%1 cannot be copied into the program's cache: %2</translation>
    </message>
</context>
<context>
    <name>LineLocalDb</name>
    <message>
        <source>The database layout cannot be read: %1</source>
        <translation>The database layout cannot be read: %1</translation>
    </message>
    <message>
        <source>The message database cannot be created: %1</source>
        <translation>The message database cannot be created: %1</translation>
    </message>
    <message>
        <source>%1 is not a message database of this program (the table %2 is missing).</source>
        <translation>%1 is not a message database of this program (the table %2 is missing).</translation>
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
