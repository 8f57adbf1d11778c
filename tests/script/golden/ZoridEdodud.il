<?xml version="1.0"?>
<program>
<compoundstmt pos="1:1">
<var pos="1:5">
<ident text="a" pos="1:6"/>
</var>
<var pos="1:8">
<ident text="b" pos="1:9"/>
<array pos="1:9">
<dim pos="1:10">
<expr pos="1:10" pos1="1:12">
<number text="10" pos="1:12"/>
</expr>
</dim>
</array>
<type text="Integer" pos="1:24"/>
<init pos="1:25">
<expr pos="1:27" pos1="1:28">
<number text="5" pos="1:28"/>
</expr>
</init>
</var>
<var pos="1:30">
<ident text="c" pos="1:31"/>
<type text="decimal" pos="1:42"/>
</var>
<procedure pos="2:1">
<name text="P" pos="2:6"/>
<parameters pos="2:6">
<varparams pos="2:7"/>
<var pos="2:13">
<ident text="x" pos="2:14"/>
</var>
<var pos="2:22">
<ident text="s" pos="2:23"/>
<type text="String" pos="2:33"/>
<init pos="2:34">
<expr pos="2:36" pos1="2:39">
<string text="'d'" pos="2:39"/>
</expr>
</init>
</var>
</parameters>
<compoundstmt pos="3:3">
<assignstmt pos="3:3">
<dsgn pos="3:3">
<node text="x" pos="3:4"/>
</dsgn>
<expr pos="3:7" pos1="3:12">
<dsgn pos="3:7">
<node text="x" pos="3:8"/>
</dsgn>
<op text="+" pos="3:10"/>
<number text="1" pos="3:12"/>
</expr>
</assignstmt>
</compoundstmt>
</procedure>
<function pos="5:1">
<name text="F" pos="5:11"/>
<parameters pos="5:11">
<var pos="5:12">
<ident text="a" pos="5:13"/>
<type text="Integer" pos="5:24"/>
</var>
</parameters>
<type text="Integer" pos="5:36"/>
<compoundstmt pos="6:3">
<return pos="6:3">
<expr pos="6:10" pos1="6:15">
<dsgn pos="6:10">
<node text="a" pos="6:11"/>
</dsgn>
<op text="*" pos="6:13"/>
<number text="2" pos="6:15"/>
</expr>
</return>
</compoundstmt>
</function>
<assignstmt pos="8:1">
<dsgn pos="8:1">
<node text="a" pos="8:2"/>
</dsgn>
<expr pos="8:5" pos1="8:34">
<op text="unminus" pos="8:6"/>
<dsgn pos="8:6">
<node text="b" pos="8:7"/>
<node text="[" pos="8:8"/>
<expr pos="8:8" pos1="8:9">
<number text="1" pos="8:9"/>
</expr>
</dsgn>
<op text="*" pos="8:12"/>
<op text="(" pos="8:14"/>
<expr pos="8:14" pos1="8:19">
<dsgn pos="8:14">
<node text="a" pos="8:15"/>
</dsgn>
<op text="+" pos="8:17"/>
<number text="1" pos="8:19"/>
</expr>
<op text=")" pos="8:20"/>
<op text="/" pos="8:22"/>
<number text="2" pos="8:24"/>
<op text="div" pos="8:26"/>
<number text="3" pos="8:28"/>
<op text="mod" pos="8:32"/>
<number text="2" pos="8:34"/>
</expr>
</assignstmt>
<assignstmt pos="9:1">
<dsgn pos="9:1">
<node text="c" pos="9:2"/>
</dsgn>
<expr pos="9:5" pos1="9:12">
<dsgn pos="9:5">
<node text="a" pos="9:6"/>
</dsgn>
<op text="strcat" pos="9:8"/>
<string text="'x'" pos="9:12"/>
</expr>
</assignstmt>
<assignstmt pos="9:15">
<dsgn pos="9:15">
<node text="c" pos="9:16"/>
</dsgn>
<expr pos="9:19" pos1="9:41">
<op text="not" pos="9:22"/>
<dsgn pos="9:23">
<node text="a" pos="9:24"/>
</dsgn>
<op text="and" pos="9:28"/>
<dsgn pos="9:29">
<node text="b" pos="9:30"/>
</dsgn>
<op text="or" pos="9:33"/>
<dsgn pos="9:34">
<node text="a" pos="9:35"/>
</dsgn>
<op text="xor" pos="9:39"/>
<dsgn pos="9:40">
<node text="b" pos="9:41"/>
</dsgn>
</expr>
</assignstmt>
<assignstmt pos="10:1">
<dsgn pos="10:1">
<node text="c" pos="10:2"/>
</dsgn>
<expr pos="10:5" pos1="10:70">
<op text="(" pos="10:6"/>
<expr pos="10:6" pos1="10:11">
<dsgn pos="10:6">
<node text="a" pos="10:7"/>
</dsgn>
<op text="=" pos="10:9"/>
<dsgn pos="10:10">
<node text="b" pos="10:11"/>
</dsgn>
</expr>
<op text=")" pos="10:12"/>
<op text="or" pos="10:15"/>
<op text="(" pos="10:17"/>
<expr pos="10:17" pos1="10:23">
<dsgn pos="10:17">
<node text="a" pos="10:18"/>
</dsgn>
<op text="&#60;&#62;" pos="10:21"/>
<dsgn pos="10:22">
<node text="b" pos="10:23"/>
</dsgn>
</expr>
<op text=")" pos="10:24"/>
<op text="or" pos="10:27"/>
<op text="(" pos="10:29"/>
<expr pos="10:29" pos1="10:34">
<dsgn pos="10:29">
<node text="a" pos="10:30"/>
</dsgn>
<op text="&#60;" pos="10:32"/>
<dsgn pos="10:33">
<node text="b" pos="10:34"/>
</dsgn>
</expr>
<op text=")" pos="10:35"/>
<op text="or" pos="10:38"/>
<op text="(" pos="10:40"/>
<expr pos="10:40" pos1="10:45">
<dsgn pos="10:40">
<node text="a" pos="10:41"/>
</dsgn>
<op text="&#62;" pos="10:43"/>
<dsgn pos="10:44">
<node text="b" pos="10:45"/>
</dsgn>
</expr>
<op text=")" pos="10:46"/>
<op text="or" pos="10:49"/>
<op text="(" pos="10:51"/>
<expr pos="10:51" pos1="10:57">
<dsgn pos="10:51">
<node text="a" pos="10:52"/>
</dsgn>
<op text="&#60;=" pos="10:55"/>
<dsgn pos="10:56">
<node text="b" pos="10:57"/>
</dsgn>
</expr>
<op text=")" pos="10:58"/>
<op text="or" pos="10:61"/>
<op text="(" pos="10:63"/>
<expr pos="10:63" pos1="10:69">
<dsgn pos="10:63">
<node text="a" pos="10:64"/>
</dsgn>
<op text="&#62;=" pos="10:67"/>
<dsgn pos="10:68">
<node text="b" pos="10:69"/>
</dsgn>
</expr>
<op text=")" pos="10:70"/>
</expr>
</assignstmt>
<assignstmt pos="11:1">
<dsgn pos="11:1">
<node text="c" pos="11:2"/>
</dsgn>
<expr pos="11:5" pos1="11:19">
<dsgn pos="11:5">
<node text="a" pos="11:6"/>
</dsgn>
<op text="in" pos="11:9"/>
<set pos="11:11">
<expr pos="11:11" pos1="11:12">
<number text="1" pos="11:12"/>
</expr>
<expr pos="11:14" pos1="11:15">
<number text="2" pos="11:15"/>
</expr>
<range text="." pos="11:17"/>
<expr pos="11:17" pos1="11:18">
<number text="5" pos="11:18"/>
</expr>
</set>
</expr>
</assignstmt>
<assignstmt pos="12:1">
<dsgn pos="12:1">
<node text="c" pos="12:2"/>
</dsgn>
<expr pos="12:5" pos1="12:16">
<dsgn pos="12:5">
<addr text="AddressOf" pos="12:14"/>
<node text="P" pos="12:16"/>
</dsgn>
</expr>
</assignstmt>
<assignstmt pos="13:1">
<dsgn pos="13:1">
<node text="c" pos="13:2"/>
</dsgn>
<expr pos="13:5" pos1="13:19">
<dsgn pos="13:18">
<node text="Get" pos="13:18"/>
<expr pos="13:18">
<string text="'Data.&#34;Field&#34;'" pos="13:18"/>
</expr>
</dsgn>
</expr>
</assignstmt>
<assignstmt pos="14:1">
<dsgn pos="14:1">
<node text="c" pos="14:2"/>
</dsgn>
<expr pos="14:5" pos1="15:4">
<number text="$1F" pos="14:9"/>
<op text="+" pos="14:11"/>
<number text="1" pos="15:4"/>
</expr>
</assignstmt>
<assignstmt pos="16:5">
<dsgn pos="16:5">
<node text="o" pos="16:6"/>
</dsgn>
<expr pos="16:9" pos1="16:23">
<new pos="16:9">
<dsgn pos="16:13">
<node text="TObject" pos="16:20"/>
<expr pos="16:21" pos1="16:22">
<number text="1" pos="16:22"/>
</expr>
</dsgn>
</new>
</expr>
</assignstmt>
<delete pos="17:1">
<dsgn pos="17:8">
<node text="o" pos="17:9"/>
</dsgn>
</delete>
<assignstmt pos="18:1">
<dsgn pos="18:1">
<node text="a" pos="18:2"/>
</dsgn>
<modificator text="+" pos="18:4"/>
<expr pos="18:6" pos1="18:7">
<number text="1" pos="18:7"/>
</expr>
</assignstmt>
<assignstmt pos="18:10">
<dsgn pos="18:10">
<node text="a" pos="18:11"/>
</dsgn>
<modificator text="-" pos="18:13"/>
<expr pos="18:15" pos1="18:16">
<number text="1" pos="18:16"/>
</expr>
</assignstmt>
<assignstmt pos="18:19">
<dsgn pos="18:19">
<node text="a" pos="18:20"/>
</dsgn>
<modificator text="*" pos="18:22"/>
<expr pos="18:24" pos1="18:25">
<number text="2" pos="18:25"/>
</expr>
</assignstmt>
<assignstmt pos="18:28">
<dsgn pos="18:28">
<node text="a" pos="18:29"/>
</dsgn>
<modificator text="/" pos="18:31"/>
<expr pos="18:33" pos1="18:34">
<number text="2" pos="18:34"/>
</expr>
</assignstmt>
<callstmt pos="19:1">
<dsgn pos="19:1">
<node text="a" pos="19:2"/>
</dsgn>
<modificator text="+" pos="19:4"/>
</callstmt>
<callstmt pos="19:7">
<dsgn pos="19:7">
<node text="a" pos="19:8"/>
</dsgn>
<modificator text="-" pos="19:10"/>
</callstmt>
<callstmt pos="20:1">
<dsgn pos="20:1">
<node text="P" pos="20:2"/>
<expr pos="20:3" pos1="20:4">
<dsgn pos="20:3">
<node text="a" pos="20:4"/>
</dsgn>
</expr>
<expr pos="20:6" pos1="20:9">
<string text="'q'" pos="20:9"/>
</expr>
</dsgn>
</callstmt>
<ifstmt pos="21:1">
<expr pos="21:4" pos1="21:9">
<dsgn pos="21:4">
<node text="a" pos="21:5"/>
</dsgn>
<op text="&#62;" pos="21:7"/>
<number text="1" pos="21:9"/>
</expr>
<thenstmt pos="21:15">
<assignstmt pos="21:15">
<dsgn pos="21:15">
<node text="b" pos="21:16"/>
</dsgn>
<expr pos="21:19" pos1="21:20">
<number text="1" pos="21:20"/>
</expr>
</assignstmt>
</thenstmt>
</ifstmt>
<ifstmt pos="22:1">
<expr pos="22:4" pos1="22:9">
<dsgn pos="22:4">
<node text="a" pos="22:5"/>
</dsgn>
<op text="&#62;" pos="22:7"/>
<number text="1" pos="22:9"/>
</expr>
<thenstmt pos="23:3">
<compoundstmt pos="23:3">
<assignstmt pos="23:3">
<dsgn pos="23:3">
<node text="b" pos="23:4"/>
</dsgn>
<expr pos="23:7" pos1="23:8">
<number text="1" pos="23:8"/>
</expr>
</assignstmt>
</compoundstmt>
</thenstmt>
<elsestmt pos="24:1">
<ifstmt pos="24:1">
<expr pos="24:8" pos1="24:13">
<dsgn pos="24:8">
<node text="a" pos="24:9"/>
</dsgn>
<op text="&#62;" pos="24:11"/>
<number text="0" pos="24:13"/>
</expr>
<thenstmt pos="25:3">
<compoundstmt pos="25:3">
<assignstmt pos="25:3">
<dsgn pos="25:3">
<node text="b" pos="25:4"/>
</dsgn>
<expr pos="25:7" pos1="25:8">
<number text="2" pos="25:8"/>
</expr>
</assignstmt>
</compoundstmt>
</thenstmt>
<elsestmt pos="26:1">
<compoundstmt pos="27:3">
<assignstmt pos="27:3">
<dsgn pos="27:3">
<node text="b" pos="27:4"/>
</dsgn>
<expr pos="27:7" pos1="27:8">
<number text="3" pos="27:8"/>
</expr>
</assignstmt>
</compoundstmt>
</elsestmt>
</ifstmt>
</elsestmt>
</ifstmt>
<casestmt pos="29:1">
<expr pos="29:13" pos1="29:14">
<dsgn pos="29:13">
<node text="a" pos="29:14"/>
</dsgn>
</expr>
<caseselector pos="30:1">
<set pos="30:6">
<expr pos="30:6" pos1="30:7">
<number text="1" pos="30:7"/>
</expr>
</set>
<compoundstmt pos="30:9">
<assignstmt pos="30:9">
<dsgn pos="30:9">
<node text="b" pos="30:10"/>
</dsgn>
<expr pos="30:13" pos1="30:14">
<number text="1" pos="30:14"/>
</expr>
</assignstmt>
</compoundstmt>
</caseselector>
<caseselector pos="31:1">
<set pos="31:6">
<expr pos="31:6" pos1="31:7">
<number text="2" pos="31:7"/>
</expr>
<range text="." pos="31:9"/>
<expr pos="31:9" pos1="31:10">
<number text="5" pos="31:10"/>
</expr>
<expr pos="31:12" pos1="31:13">
<number text="7" pos="31:13"/>
</expr>
</set>
<compoundstmt pos="31:14">
<assignstmt pos="32:3">
<dsgn pos="32:3">
<node text="b" pos="32:4"/>
</dsgn>
<expr pos="32:7" pos1="32:8">
<number text="2" pos="32:8"/>
</expr>
</assignstmt>
</compoundstmt>
</caseselector>
<compoundstmt pos="33:11">
<assignstmt pos="34:3">
<dsgn pos="34:3">
<node text="b" pos="34:4"/>
</dsgn>
<expr pos="34:7" pos1="34:8">
<number text="3" pos="34:8"/>
</expr>
</assignstmt>
</compoundstmt>
</casestmt>
<repeatstmt pos="36:1">
<compoundstmt pos="36:3">
<assignstmt pos="37:3">
<dsgn pos="37:3">
<node text="a" pos="37:4"/>
</dsgn>
<expr pos="37:7" pos1="37:12">
<dsgn pos="37:7">
<node text="a" pos="37:8"/>
</dsgn>
<op text="+" pos="37:10"/>
<number text="1" pos="37:12"/>
</expr>
</assignstmt>
</compoundstmt>
<expr pos="38:12" pos1="38:18">
<dsgn pos="38:12">
<node text="a" pos="38:13"/>
</dsgn>
<op text="&#62;" pos="38:15"/>
<number text="10" pos="38:18"/>
</expr>
</repeatstmt>
<repeatstmt pos="39:1">
<compoundstmt pos="39:3">
<assignstmt pos="40:3">
<dsgn pos="40:3">
<node text="a" pos="40:4"/>
</dsgn>
<expr pos="40:7" pos1="40:12">
<dsgn pos="40:7">
<node text="a" pos="40:8"/>
</dsgn>
<op text="-" pos="40:10"/>
<number text="1" pos="40:12"/>
</expr>
</assignstmt>
</compoundstmt>
<expr pos="41:12" pos1="41:17">
<dsgn pos="41:12">
<node text="a" pos="41:13"/>
</dsgn>
<op text="&#62;" pos="41:15"/>
<number text="0" pos="41:17"/>
</expr>
<inverse text="" pos="41:17"/>
</repeatstmt>
<whilestmt pos="42:1">
<expr pos="42:7" pos1="42:12">
<dsgn pos="42:7">
<node text="a" pos="42:8"/>
</dsgn>
<op text="&#62;" pos="42:10"/>
<number text="0" pos="42:12"/>
</expr>
<compoundstmt pos="42:12">
<assignstmt pos="43:3">
<dsgn pos="43:3">
<node text="a" pos="43:4"/>
</dsgn>
<expr pos="43:7" pos1="43:12">
<dsgn pos="43:7">
<node text="a" pos="43:8"/>
</dsgn>
<op text="-" pos="43:10"/>
<number text="1" pos="43:12"/>
</expr>
</assignstmt>
</compoundstmt>
</whilestmt>
<vbforstmt pos="45:1">
<ident text="i" pos="45:6"/>
<expr pos="45:9" pos1="45:10">
<number text="1" pos="45:10"/>
</expr>
<expr pos="45:14" pos1="45:16">
<number text="10" pos="45:16"/>
</expr>
<expr pos="45:22" pos1="45:23">
<number text="2" pos="45:23"/>
</expr>
<compoundstmt pos="46:3">
<assignstmt pos="46:3">
<dsgn pos="46:3">
<node text="b" pos="46:4"/>
</dsgn>
<expr pos="46:7" pos1="46:12">
<dsgn pos="46:7">
<node text="b" pos="46:8"/>
</dsgn>
<op text="+" pos="46:10"/>
<dsgn pos="46:11">
<node text="i" pos="46:12"/>
</dsgn>
</expr>
</assignstmt>
</compoundstmt>
</vbforstmt>
<trystmt pos="48:1">
<compoundstmt pos="48:4">
<assignstmt pos="49:3">
<dsgn pos="49:3">
<node text="b" pos="49:4"/>
</dsgn>
<expr pos="49:7" pos1="49:8">
<number text="1" pos="49:8"/>
</expr>
</assignstmt>
</compoundstmt>
<finallystmt pos="50:8">
<compoundstmt pos="50:8">
<assignstmt pos="51:3">
<dsgn pos="51:3">
<node text="b" pos="51:4"/>
</dsgn>
<expr pos="51:7" pos1="51:8">
<number text="2" pos="51:8"/>
</expr>
</assignstmt>
</compoundstmt>
</finallystmt>
</trystmt>
<trystmt pos="53:1">
<compoundstmt pos="53:4">
<assignstmt pos="54:3">
<dsgn pos="54:3">
<node text="b" pos="54:4"/>
</dsgn>
<expr pos="54:7" pos1="54:8">
<number text="1" pos="54:8"/>
</expr>
</assignstmt>
</compoundstmt>
<exceptstmt pos="55:6">
<compoundstmt pos="55:6">
<assignstmt pos="56:3">
<dsgn pos="56:3">
<node text="b" pos="56:4"/>
</dsgn>
<expr pos="56:7" pos1="56:8">
<number text="2" pos="56:8"/>
</expr>
</assignstmt>
</compoundstmt>
</exceptstmt>
</trystmt>
<with pos="58:1">
<dsgn pos="58:6">
<node text="o" pos="58:7"/>
</dsgn>
<compoundstmt pos="59:3">
<assignstmt pos="59:3">
<dsgn pos="59:3">
<node text="Prop" pos="59:7"/>
</dsgn>
<expr pos="59:10" pos1="59:11">
<number text="1" pos="59:11"/>
</expr>
</assignstmt>
</compoundstmt>
</with>
<exit pos="63:1"/>
</compoundstmt>
<types>
<decimal type="extended"/>
</types>
</program>
