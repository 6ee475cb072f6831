<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>ConfigDlg</name>
    <message>
        <source>表示モード</source>
        <translation>Display mode</translation>
    </message>
    <message>
        <source>8色誤差拡散</source>
        <translation>8-colour diffusion</translation>
    </message>
    <message>
        <source>256色誤差拡散</source>
        <translation>256-colour diffusion</translation>
    </message>
    <message>
        <source>フルカラー</source>
        <translation>Full colour</translation>
    </message>
    <message>
        <source>Configration</source>
        <translation>Configuration</translation>
    </message>
</context>
</TS>
