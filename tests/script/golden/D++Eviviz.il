<?xml version="1.0"?>
<program>
<const pos="1:9">
<ident text="N" pos="1:10"/>
<expr pos="1:11" pos1="1:13">
<number text="10" pos="1:13"/>
</expr>
</const>
<var pos="2:1">
<type text="int" pos="2:4"/>
<ident text="a" pos="2:6"/>
<ident text="b" pos="2:9"/>
<array pos="2:9">
<dim pos="2:10">
<expr pos="2:10" pos1="2:12">
<number text="10" pos="2:12"/>
</expr>
</dim>
</array>
<init pos="2:14">
<expr pos="2:16" pos1="2:17">
<number text="0" pos="2:17"/>
</expr>
</init>
<ident text="c" pos="2:20"/>
</var>
<var pos="3:1">
<type text="float" pos="3:6"/>
<ident text="f" pos="3:8"/>
<init pos="3:9">
<expr pos="3:11" pos1="3:14">
<number text="1.5" pos="3:14"/>
</expr>
</init>
</var>
<function pos="4:1">
<type text="void" pos="4:5"/>
<name text="P" pos="4:7"/>
<parameters pos="4:7">
<var pos="4:8">
<type text="int" pos="4:11"/>
<varparam text="&" pos="4:13"/>
<ident text="x" pos="4:14"/>
</var>
<var pos="4:16">
<type text="string" pos="4:22"/>
<ident text="s" pos="4:24"/>
<init pos="4:25">
<expr pos="4:27" pos1="4:30">
<string text="'d'" pos="4:30"/>
</expr>
</init>
</var>
</parameters>
<compoundstmt pos="4:32">
<assignstmt pos="5:3">
<dsgn pos="5:3">
<node text="x" pos="5:4"/>
</dsgn>
<expr pos="5:7" pos1="5:12">
<dsgn pos="5:7">
<node text="x" pos="5:8"/>
</dsgn>
<op text="+" pos="5:10"/>
<number text="1" pos="5:12"/>
</expr>
</assignstmt>
</compoundstmt>
</function>
<function pos="7:1">
<type text="int" pos="7:4"/>
<name text="F" pos="7:6"/>
<parameters pos="7:6">
<var pos="7:7">
<type text="int" pos="7:10"/>
<ident text="a" pos="7:12"/>
</var>
</parameters>
<compoundstmt pos="7:14">
<return pos="8:3">
<expr pos="8:10" pos1="8:15">
<dsgn pos="8:10">
<node text="a" pos="8:11"/>
</dsgn>
<op text="*" pos="8:13"/>
<number text="2" pos="8:15"/>
</expr>
</return>
</compoundstmt>
</function>
<compoundstmt pos="10:1">
<assignstmt pos="11:3">
<dsgn pos="11:3">
<node text="a" pos="11:4"/>
</dsgn>
<expr pos="11:7" pos1="11:40">
<op text="unminus" pos="11:8"/>
<dsgn pos="11:8">
<node text="b" pos="11:9"/>
<node text="[" pos="11:10"/>
<expr pos="11:10" pos1="11:11">
<number text="1" pos="11:11"/>
</expr>
</dsgn>
<op text="*" pos="11:14"/>
<op text="(" pos="11:16"/>
<expr pos="11:16" pos1="11:21">
<dsgn pos="11:16">
<node text="a" pos="11:17"/>
</dsgn>
<op text="+" pos="11:19"/>
<number text="1" pos="11:21"/>
</expr>
<op text=")" pos="11:22"/>
<op text="/" pos="11:24"/>
<number text="2" pos="11:26"/>
<op text="mod" pos="11:28"/>
<number text="3" pos="11:30"/>
<op text="shl" pos="11:33"/>
<number text="1" pos="11:35"/>
<op text="shr" pos="11:38"/>
<number text="1" pos="11:40"/>
</expr>
</assignstmt>
<assignstmt pos="12:3">
<dsgn pos="12:3">
<node text="a" pos="12:4"/>
</dsgn>
<expr pos="12:7" pos1="12:14">
<dsgn pos="12:7">
<node text="a" pos="12:8"/>
</dsgn>
<op text="div" pos="12:12"/>
<number text="2" pos="12:14"/>
</expr>
</assignstmt>
<assignstmt pos="13:3">
<dsgn pos="13:3">
<node text="c" pos="13:4"/>
</dsgn>
<expr pos="13:7" pos1="13:23">
<dsgn pos="13:7">
<node text="a" pos="13:8"/>
</dsgn>
<op text="and" pos="13:11"/>
<op text="not" pos="13:13"/>
<dsgn pos="13:13">
<node text="b" pos="13:14"/>
</dsgn>
<op text="or" pos="13:17"/>
<dsgn pos="13:18">
<node text="a" pos="13:19"/>
</dsgn>
<op text="xor" pos="13:21"/>
<dsgn pos="13:22">
<node text="b" pos="13:23"/>
</dsgn>
</expr>
</assignstmt>
<assignstmt pos="14:3">
<dsgn pos="14:3">
<node text="c" pos="14:4"/>
</dsgn>
<expr pos="14:7" pos1="14:73">
<op text="(" pos="14:8"/>
<expr pos="14:8" pos1="14:14">
<dsgn pos="14:8">
<node text="a" pos="14:9"/>
</dsgn>
<op text="=" pos="14:12"/>
<dsgn pos="14:13">
<node text="b" pos="14:14"/>
</dsgn>
</expr>
<op text=")" pos="14:15"/>
<op text="or" pos="14:18"/>
<op text="(" pos="14:20"/>
<expr pos="14:20" pos1="14:26">
<dsgn pos="14:20">
<node text="a" pos="14:21"/>
</dsgn>
<op text="&#60;&#62;" pos="14:24"/>
<dsgn pos="14:25">
<node text="b" pos="14:26"/>
</dsgn>
</expr>
<op text=")" pos="14:27"/>
<op text="or" pos="14:30"/>
<op text="(" pos="14:32"/>
<expr pos="14:32" pos1="14:37">
<dsgn pos="14:32">
<node text="a" pos="14:33"/>
</dsgn>
<op text="&#60;" pos="14:35"/>
<dsgn pos="14:36">
<node text="b" pos="14:37"/>
</dsgn>
</expr>
<op text=")" pos="14:38"/>
<op text="or" pos="14:41"/>
<op text="(" pos="14:43"/>
<expr pos="14:43" pos1="14:48">
<dsgn pos="14:43">
<node text="a" pos="14:44"/>
</dsgn>
<op text="&#62;" pos="14:46"/>
<dsgn pos="14:47">
<node text="b" pos="14:48"/>
</dsgn>
</expr>
<op text=")" pos="14:49"/>
<op text="or" pos="14:52"/>
<op text="(" pos="14:54"/>
<expr pos="14:54" pos1="14:60">
<dsgn pos="14:54">
<node text="a" pos="14:55"/>
</dsgn>
<op text="&#60;=" pos="14:58"/>
<dsgn pos="14:59">
<node text="b" pos="14:60"/>
</dsgn>
</expr>
<op text=")" pos="14:61"/>
<op text="or" pos="14:64"/>
<op text="(" pos="14:66"/>
<expr pos="14:66" pos1="14:72">
<dsgn pos="14:66">
<node text="a" pos="14:67"/>
</dsgn>
<op text="&#62;=" pos="14:70"/>
<dsgn pos="14:71">
<node text="b" pos="14:72"/>
</dsgn>
</expr>
<op text=")" pos="14:73"/>
</expr>
</assignstmt>
<assignstmt pos="15:3">
<dsgn pos="15:3">
<node text="c" pos="15:4"/>
</dsgn>
<expr pos="15:7" pos1="15:21">
<dsgn pos="15:7">
<node text="a" pos="15:8"/>
</dsgn>
<op text="in" pos="15:11"/>
<set pos="15:13">
<expr pos="15:13" pos1="15:14">
<number text="1" pos="15:14"/>
</expr>
<expr pos="15:16" pos1="15:17">
<number text="2" pos="15:17"/>
</expr>
<range text="." pos="15:19"/>
<expr pos="15:19" pos1="15:20">
<number text="5" pos="15:20"/>
</expr>
</set>
</expr>
</assignstmt>
<assignstmt pos="16:3">
<dsgn pos="16:3">
<node text="c" pos="16:4"/>
</dsgn>
<expr pos="16:7" pos1="16:9">
<dsgn pos="16:7">
<addr text="&" pos="16:8"/>
<node text="P" pos="16:9"/>
</dsgn>
</expr>
</assignstmt>
<assignstmt pos="17:3">
<dsgn pos="17:3">
<node text="c" pos="17:4"/>
</dsgn>
<expr pos="17:7" pos1="17:21">
<dsgn pos="17:20">
<node text="Get" pos="17:20"/>
<expr pos="17:20">
<string text="'Data.&#34;Field&#34;'" pos="17:20"/>
</expr>
</dsgn>
</expr>
</assignstmt>
<assignstmt pos="18:3">
<dsgn pos="18:3">
<node text="c" pos="18:4"/>
</dsgn>
<expr pos="18:7" pos1="18:23">
<number text="$1F" pos="18:11"/>
<op text="+" pos="18:13"/>
<string text="'x&#10;A'" pos="18:23"/>
</expr>
</assignstmt>
<assignstmt pos="19:3">
<dsgn pos="19:3">
<node text="a" pos="19:4"/>
</dsgn>
<modificator text="+" pos="19:6"/>
<expr pos="19:8" pos1="19:9">
<number text="1" pos="19:9"/>
</expr>
</assignstmt>
<assignstmt pos="19:11">
<dsgn pos="19:11">
<node text="a" pos="19:12"/>
</dsgn>
<modificator text="-" pos="19:14"/>
<expr pos="19:16" pos1="19:17">
<number text="1" pos="19:17"/>
</expr>
</assignstmt>
<assignstmt pos="19:19">
<dsgn pos="19:19">
<node text="a" pos="19:20"/>
</dsgn>
<modificator text="*" pos="19:22"/>
<expr pos="19:24" pos1="19:25">
<number text="2" pos="19:25"/>
</expr>
</assignstmt>
<assignstmt pos="19:27">
<dsgn pos="19:27">
<node text="a" pos="19:28"/>
</dsgn>
<modificator text="/" pos="19:30"/>
<expr pos="19:32" pos1="19:33">
<number text="2" pos="19:33"/>
</expr>
</assignstmt>
<callstmt pos="20:3">
<dsgn pos="20:3">
<node text="a" pos="20:4"/>
</dsgn>
<modificator text="+" pos="20:6"/>
</callstmt>
<callstmt pos="20:8">
<dsgn pos="20:8">
<node text="a" pos="20:9"/>
</dsgn>
<modificator text="-" pos="20:11"/>
</callstmt>
<var pos="21:3">
<type text="int" pos="21:6"/>
<ident text="d" pos="21:8"/>
<init pos="21:9">
<expr pos="21:11" pos1="21:12">
<number text="5" pos="21:12"/>
</expr>
</init>
</var>
<assignstmt pos="22:3">
<dsgn pos="22:3">
<node text="obj" pos="22:6"/>
</dsgn>
<expr pos="22:9" pos1="22:23">
<new pos="22:9">
<dsgn pos="22:13">
<node text="TObject" pos="22:20"/>
<expr pos="22:21" pos1="22:22">
<number text="1" pos="22:22"/>
</expr>
</dsgn>
</new>
</expr>
</assignstmt>
<delete pos="23:3">
<dsgn pos="23:10">
<node text="obj" pos="23:13"/>
</dsgn>
</delete>
<callstmt pos="24:3">
<dsgn pos="24:3">
<node text="P" pos="24:4"/>
<expr pos="24:5" pos1="24:6">
<dsgn pos="24:5">
<node text="a" pos="24:6"/>
</dsgn>
</expr>
<expr pos="24:8" pos1="24:11">
<string text="'q'" pos="24:11"/>
</expr>
</dsgn>
</callstmt>
<ifstmt pos="25:3">
<expr pos="25:7" pos1="25:12">
<dsgn pos="25:7">
<node text="a" pos="25:8"/>
</dsgn>
<op text="&#62;" pos="25:10"/>
<number text="1" pos="25:12"/>
</expr>
<thenstmt pos="25:14">
<assignstmt pos="25:14">
<dsgn pos="25:14">
<node text="b" pos="25:15"/>
</dsgn>
<expr pos="25:18" pos1="25:19">
<number text="1" pos="25:19"/>
</expr>
</assignstmt>
</thenstmt>
<elsestmt pos="25:26">
<compoundstmt pos="25:26">
<assignstmt pos="25:28">
<dsgn pos="25:28">
<node text="b" pos="25:29"/>
</dsgn>
<expr pos="25:32" pos1="25:33">
<number text="2" pos="25:33"/>
</expr>
</assignstmt>
</compoundstmt>
</elsestmt>
</ifstmt>
<casestmt pos="26:3">
<expr pos="26:11" pos1="26:12">
<dsgn pos="26:11">
<node text="a" pos="26:12"/>
</dsgn>
</expr>
<caseselector pos="27:5">
<set pos="27:10">
<expr pos="27:10" pos1="27:11">
<number text="1" pos="27:11"/>
</expr>
</set>
<assignstmt pos="27:13">
<dsgn pos="27:13">
<node text="b" pos="27:14"/>
</dsgn>
<expr pos="27:17" pos1="27:18">
<number text="1" pos="27:18"/>
</expr>
</assignstmt>
</caseselector>
<caseselector pos="28:5">
<set pos="28:10">
<expr pos="28:10" pos1="28:11">
<number text="2" pos="28:11"/>
</expr>
<range text="." pos="28:13"/>
<expr pos="28:13" pos1="28:14">
<number text="5" pos="28:14"/>
</expr>
<expr pos="28:16" pos1="28:17">
<number text="7" pos="28:17"/>
</expr>
</set>
<compoundstmt pos="28:19">
<assignstmt pos="28:21">
<dsgn pos="28:21">
<node text="b" pos="28:22"/>
</dsgn>
<expr pos="28:25" pos1="28:26">
<number text="2" pos="28:26"/>
</expr>
</assignstmt>
</compoundstmt>
</caseselector>
<assignstmt pos="29:14">
<dsgn pos="29:14">
<node text="b" pos="29:15"/>
</dsgn>
<expr pos="29:18" pos1="29:19">
<number text="3" pos="29:19"/>
</expr>
</assignstmt>
</casestmt>
<repeatstmt pos="31:3">
<callstmt pos="31:6">
<dsgn pos="31:6">
<node text="a" pos="31:7"/>
</dsgn>
<modificator text="+" pos="31:9"/>
</callstmt>
<expr pos="31:18" pos1="31:24">
<dsgn pos="31:18">
<node text="a" pos="31:19"/>
</dsgn>
<op text="&#60;" pos="31:21"/>
<number text="10" pos="31:24"/>
</expr>
<inverse text="" pos="31:24"/>
</repeatstmt>
<whilestmt pos="32:3">
<expr pos="32:10" pos1="32:15">
<dsgn pos="32:10">
<node text="a" pos="32:11"/>
</dsgn>
<op text="&#62;" pos="32:13"/>
<number text="0" pos="32:15"/>
</expr>
<callstmt pos="32:17">
<dsgn pos="32:17">
<node text="a" pos="32:18"/>
</dsgn>
<modificator text="-" pos="32:20"/>
</callstmt>
</whilestmt>
<cppforstmt pos="33:3">
<compoundstmt pos="33:8">
<assignstmt pos="33:8">
<dsgn pos="33:8">
<node text="a" pos="33:9"/>
</dsgn>
<expr pos="33:12" pos1="33:13">
<number text="0" pos="33:13"/>
</expr>
</assignstmt>
<assignstmt pos="33:15">
<dsgn pos="33:15">
<node text="c" pos="33:16"/>
</dsgn>
<expr pos="33:19" pos1="33:20">
<number text="1" pos="33:20"/>
</expr>
</assignstmt>
</compoundstmt>
<expr pos="33:22" pos1="33:28">
<dsgn pos="33:22">
<node text="a" pos="33:23"/>
</dsgn>
<op text="&#60;" pos="33:25"/>
<number text="10" pos="33:28"/>
</expr>
<compoundstmt pos="33:30">
<callstmt pos="33:30">
<dsgn pos="33:30">
<node text="a" pos="33:31"/>
</dsgn>
<modificator text="+" pos="33:33"/>
</callstmt>
<callstmt pos="33:35">
<dsgn pos="33:35">
<node text="c" pos="33:36"/>
</dsgn>
<modificator text="+" pos="33:38"/>
</callstmt>
</compoundstmt>
<assignstmt pos="33:40">
<dsgn pos="33:40">
<node text="b" pos="33:41"/>
</dsgn>
<expr pos="33:44" pos1="33:49">
<dsgn pos="33:44">
<node text="b" pos="33:45"/>
</dsgn>
<op text="+" pos="33:47"/>
<dsgn pos="33:48">
<node text="a" pos="33:49"/>
</dsgn>
</expr>
</assignstmt>
</cppforstmt>
<cppforstmt pos="34:3">
<compoundstmt pos="34:8">
<var pos="34:8">
<type text="int" pos="34:11"/>
<ident text="i" pos="34:13"/>
<init pos="34:14">
<expr pos="34:16" pos1="34:17">
<number text="0" pos="34:17"/>
</expr>
</init>
</var>
</compoundstmt>
<expr pos="34:19" pos1="34:24">
<dsgn pos="34:19">
<node text="i" pos="34:20"/>
</dsgn>
<op text="&#60;" pos="34:22"/>
<number text="3" pos="34:24"/>
</expr>
<compoundstmt pos="34:26">
<callstmt pos="34:26">
<dsgn pos="34:26">
<node text="i" pos="34:27"/>
</dsgn>
<modificator text="+" pos="34:29"/>
</callstmt>
</compoundstmt>
<empty pos="34:31"/>
</cppforstmt>
<trystmt pos="35:3">
<compoundstmt pos="35:7">
<assignstmt pos="35:9">
<dsgn pos="35:9">
<node text="b" pos="35:10"/>
</dsgn>
<expr pos="35:13" pos1="35:14">
<number text="1" pos="35:14"/>
</expr>
</assignstmt>
</compoundstmt>
<finallystmt pos="35:26">
<compoundstmt pos="35:26">
<assignstmt pos="35:28">
<dsgn pos="35:28">
<node text="b" pos="35:29"/>
</dsgn>
<expr pos="35:32" pos1="35:33">
<number text="2" pos="35:33"/>
</expr>
</assignstmt>
</compoundstmt>
</finallystmt>
</trystmt>
<trystmt pos="36:3">
<compoundstmt pos="36:7">
<assignstmt pos="36:9">
<dsgn pos="36:9">
<node text="b" pos="36:10"/>
</dsgn>
<expr pos="36:13" pos1="36:14">
<number text="1" pos="36:14"/>
</expr>
</assignstmt>
</compoundstmt>
<exceptstmt pos="36:25">
<compoundstmt pos="36:25">
<assignstmt pos="36:27">
<dsgn pos="36:27">
<node text="b" pos="36:28"/>
</dsgn>
<expr pos="36:31" pos1="36:32">
<number text="2" pos="36:32"/>
</expr>
</assignstmt>
</compoundstmt>
</exceptstmt>
</trystmt>
<empty pos="37:3"/>
<break pos="38:3"/>
<continue pos="38:10"/>
<exit pos="38:20"/>
</compoundstmt>
<types>
<int type="integer"/>
<long type="integer"/>
<void type="integer"/>
<bool type="boolean"/>
<float type="extended"/>
</types>
</program>
