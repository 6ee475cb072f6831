<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>Menu</name>
    <message>
        <source>Add Primitive</source>
        <translation>プリミティブを追加</translation>
    </message>
    <message>
        <source>Plane</source>
        <translation>平面</translation>
    </message>
    <message>
        <source>Box</source>
        <translation>直方体</translation>
    </message>
    <message>
        <source>Sphere</source>
        <translation>球</translation>
    </message>
    <message>
        <source>Ellipsoid</source>
        <translation>楕円体</translation>
    </message>
    <message>
        <source>Cylinder</source>
        <translation>円柱</translation>
    </message>
    <message>
        <source>Cone</source>
        <translation>円錐</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>複製</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>上へ移動</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>下へ移動</translation>
    </message>
    <message>
        <source>Add Light</source>
        <translation>光源を追加</translation>
    </message>
    <message>
        <source>Duplicate Light</source>
        <translation>光源を複製</translation>
    </message>
    <message>
        <source>Delete Light</source>
        <translation>光源を削除</translation>
    </message>
    <message>
        <source>Make Group</source>
        <translation>グループを作成</translation>
    </message>
    <message>
        <source>Add to Group</source>
        <translation>グループに追加</translation>
    </message>
    <message>
        <source>Remove from Group</source>
        <translation>グループから外す</translation>
    </message>
    <message>
        <source>Ungroup</source>
        <translation>グループを解除</translation>
    </message>
</context>
</TS>
