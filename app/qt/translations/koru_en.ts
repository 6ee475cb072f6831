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
<context>
    <name>NewSceneDlg</name>
    <message>
        <source>床と球</source>
        <translation>A floor and a sphere</translation>
    </message>
    <message>
        <source>カメラ、光源、市松模様の床と球: New Scene がいつも作ってきたシーン</source>
        <translation>a camera, a light, a checkered floor and a sphere: the scene New Scene starts from</translation>
    </message>
    <message>
        <source>CSG の部品</source>
        <translation>A CSG piece</translation>
    </message>
    <message>
        <source>三本のトンネルが通った角の丸い立方体: 箱、球、sense -1 の円柱三本からなる一つのグループ</source>
        <translation>a rounded cube with three tunnels: one group of a box, a sphere and three cylinders with sense -1</translation>
    </message>
    <message>
        <source>ガラスと鏡</source>
        <translation>Glass and mirrors</translation>
    </message>
    <message>
        <source>色とりどりの球の中にガラスの球と鏡の球。反射と屈折を五段まで追う</source>
        <translation>a glass ball and a mirror ball among coloured balls, traced five levels deep</translation>
    </message>
    <message>
        <source>二次曲面の見本</source>
        <translation>The quadric gallery</translation>
    </message>
    <message>
        <source>球、円柱、一葉と二葉の双曲面、円錐と二重円錐。それぞれ箱か平面で切り取ってある</source>
        <translation>sphere, cylinder, hyperboloids of one and two sheets, a cone and a double cone, each limited by a box or a plane</translation>
    </message>
    <message>
        <source>ステレオペア</source>
        <translation>A stereo pair</translation>
    </message>
    <message>
        <source>奥行きの違う球と円錐。Make 3D Image (koru-cli render --stereo) で見る</source>
        <translation>balls and a cone at different depths, for Make 3D Image (koru-cli render --stereo)</translation>
    </message>
    <message>
        <source>新規シーン</source>
        <translation>New Scene</translation>
    </message>
    <message>
        <source>始めるシーンを選んでください:</source>
        <translation>Choose the scene to start from:</translation>
    </message>
</context>
</TS>
