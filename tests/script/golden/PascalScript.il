<?xml version="1.0"?>
<program>
<const pos="3:3">
<ident text="N" pos="3:4"/>
<expr pos="3:7" pos1="3:9">
<number text="10" pos="3:9"/>
</expr>
</const>
<const pos="4:3">
<ident text="S" pos="4:4"/>
<expr pos="4:7" pos1="4:14">
<string text="'it's'" pos="4:14"/>
</expr>
</const>
<var pos="6:3">
<ident text="a" pos="6:4"/>
<ident text="b" pos="6:7"/>
<type text="Integer" pos="6:16"/>
<init pos="6:17">
<expr pos="6:19" pos1="6:20">
<number text="5" pos="6:20"/>
</expr>
</init>
</var>
<var pos="7:3">
<ident text="arr" pos="7:6"/>
<array pos="7:8">
<dim pos="7:14">
<expr pos="7:14" pos1="7:15">
<number text="0" pos="7:15"/>
</expr>
<expr pos="7:17" pos1="7:18">
<number text="9" pos="7:18"/>
</expr>
</dim>
<dim pos="7:20">
<expr pos="7:20" pos1="7:21">
<number text="5" pos="7:21"/>
</expr>
</dim>
</array>
<type text="String" pos="7:32"/>
</var>
<var pos="8:3">
<ident text="x" pos="8:4"/>
<type text="Variant" pos="8:13"/>
</var>
<procedure pos="9:1">
<name text="P" pos="9:12"/>
<parameters pos="9:12">
<varparams pos="9:13"/>
<var pos="9:17">
<ident text="X" pos="9:18"/>
<type text="Integer" pos="9:27"/>
</var>
<var pos="9:35">
<ident text="S" pos="9:36"/>
<type text="String" pos="9:44"/>
</var>
<var pos="9:46">
<ident text="D" pos="9:47"/>
<type text="Integer" pos="9:56"/>
<init pos="9:57">
<expr pos="9:59" pos1="9:60">
<number text="5" pos="9:60"/>
</expr>
</init>
</var>
</parameters>
<var pos="10:5">
<ident text="t" pos="10:6"/>
<type text="Integer" pos="10:15"/>
</var>
<compoundstmt pos="11:1">
<assignstmt pos="12:3">
<dsgn pos="12:3">
<node text="t" pos="12:4"/>
</dsgn>
<expr pos="12:8" pos1="12:13">
<dsgn pos="12:8">
<node text="X" pos="12:9"/>
</dsgn>
<op text="+" pos="12:11"/>
<dsgn pos="12:12">
<node text="D" pos="12:13"/>
</dsgn>
</expr>
</assignstmt>
</compoundstmt>
</procedure>
<function pos="14:1">
<name text="F" pos="14:11"/>
<parameters pos="14:11">
<var pos="14:12">
<ident text="a" pos="14:13"/>
<type text="Integer" pos="14:22"/>
</var>
</parameters>
<type text="String" pos="14:31"/>
<function pos="15:3">
<name text="Inner" pos="15:17"/>
<type text="Integer" pos="15:26"/>
<compoundstmt pos="16:3">
<assignstmt pos="17:5">
<dsgn pos="17:5">
<node text="Result" pos="17:11"/>
</dsgn>
<expr pos="17:15" pos1="17:16">
<number text="1" pos="17:16"/>
</expr>
</assignstmt>
</compoundstmt>
</function>
<compoundstmt pos="19:1">
<assignstmt pos="20:3">
<dsgn pos="20:3">
<node text="Result" pos="20:9"/>
</dsgn>
<expr pos="20:13" pos1="20:42">
<dsgn pos="20:13">
<node text="IntToStr" pos="20:21"/>
<expr pos="20:22" pos1="20:23">
<dsgn pos="20:22">
<node text="a" pos="20:23"/>
</dsgn>
</expr>
</dsgn>
<op text="+" pos="20:26"/>
<string text="'&#13;&#10;x'" pos="20:36"/>
<op text="+" pos="20:38"/>
<number text="$FF" pos="20:42"/>
</expr>
</assignstmt>
</compoundstmt>
</function>
<compoundstmt pos="22:1">
<assignstmt pos="23:3">
<dsgn pos="23:3">
<node text="a" pos="23:4"/>
</dsgn>
<expr pos="23:8" pos1="23:65">
<op text="unminus" pos="23:9"/>
<dsgn pos="23:9">
<node text="b" pos="23:10"/>
</dsgn>
<op text="*" pos="23:12"/>
<op text="(" pos="23:14"/>
<expr pos="23:14" pos1="23:19">
<dsgn pos="23:14">
<node text="a" pos="23:15"/>
</dsgn>
<op text="+" pos="23:17"/>
<number text="1" pos="23:19"/>
</expr>
<op text=")" pos="23:20"/>
<op text="div" pos="23:24"/>
<number text="2" pos="23:26"/>
<op text="mod" pos="23:30"/>
<number text="3" pos="23:32"/>
<op text="shl" pos="23:36"/>
<number text="1" pos="23:38"/>
<op text="shr" pos="23:42"/>
<number text="1" pos="23:44"/>
<op text="and" pos="23:48"/>
<op text="not" pos="23:52"/>
<dsgn pos="23:53">
<node text="a" pos="23:54"/>
</dsgn>
<op text="or" pos="23:57"/>
<dsgn pos="23:58">
<node text="b" pos="23:59"/>
</dsgn>
<op text="xor" pos="23:63"/>
<dsgn pos="23:64">
<node text="a" pos="23:65"/>
</dsgn>
</expr>
</assignstmt>
<assignstmt pos="24:3">
<dsgn pos="24:3">
<node text="x" pos="24:4"/>
</dsgn>
<expr pos="24:8" pos1="24:73">
<op text="(" pos="24:9"/>
<expr pos="24:9" pos1="24:14">
<dsgn pos="24:9">
<node text="a" pos="24:10"/>
</dsgn>
<op text="=" pos="24:12"/>
<dsgn pos="24:13">
<node text="b" pos="24:14"/>
</dsgn>
</expr>
<op text=")" pos="24:15"/>
<op text="or" pos="24:18"/>
<op text="(" pos="24:20"/>
<expr pos="24:20" pos1="24:26">
<dsgn pos="24:20">
<node text="a" pos="24:21"/>
</dsgn>
<op text="&#60;&#62;" pos="24:24"/>
<dsgn pos="24:25">
<node text="b" pos="24:26"/>
</dsgn>
</expr>
<op text=")" pos="24:27"/>
<op text="or" pos="24:30"/>
<op text="(" pos="24:32"/>
<expr pos="24:32" pos1="24:37">
<dsgn pos="24:32">
<node text="a" pos="24:33"/>
</dsgn>
<op text="&#60;" pos="24:35"/>
<dsgn pos="24:36">
<node text="b" pos="24:37"/>
</dsgn>
</expr>
<op text=")" pos="24:38"/>
<op text="or" pos="24:41"/>
<op text="(" pos="24:43"/>
<expr pos="24:43" pos1="24:48">
<dsgn pos="24:43">
<node text="a" pos="24:44"/>
</dsgn>
<op text="&#62;" pos="24:46"/>
<dsgn pos="24:47">
<node text="b" pos="24:48"/>
</dsgn>
</expr>
<op text=")" pos="24:49"/>
<op text="or" pos="24:52"/>
<op text="(" pos="24:54"/>
<expr pos="24:54" pos1="24:60">
<dsgn pos="24:54">
<node text="a" pos="24:55"/>
</dsgn>
<op text="&#60;=" pos="24:58"/>
<dsgn pos="24:59">
<node text="b" pos="24:60"/>
</dsgn>
</expr>
<op text=")" pos="24:61"/>
<op text="or" pos="24:64"/>
<op text="(" pos="24:66"/>
<expr pos="24:66" pos1="24:72">
<dsgn pos="24:66">
<node text="a" pos="24:67"/>
</dsgn>
<op text="&#62;=" pos="24:70"/>
<dsgn pos="24:71">
<node text="b" pos="24:72"/>
</dsgn>
</expr>
<op text=")" pos="24:73"/>
</expr>
</assignstmt>
<assignstmt pos="25:3">
<dsgn pos="25:3">
<node text="x" pos="25:4"/>
</dsgn>
<expr pos="25:8" pos1="25:22">
<dsgn pos="25:8">
<node text="a" pos="25:9"/>
</dsgn>
<op text="in" pos="25:12"/>
<set pos="25:14">
<expr pos="25:14" pos1="25:15">
<number text="1" pos="25:15"/>
</expr>
<expr pos="25:17" pos1="25:18">
<number text="2" pos="25:18"/>
</expr>
<range text="." pos="25:19"/>
<expr pos="25:20" pos1="25:21">
<number text="5" pos="25:21"/>
</expr>
</set>
</expr>
</assignstmt>
<assignstmt pos="26:3">
<dsgn pos="26:3">
<node text="x" pos="26:4"/>
</dsgn>
<expr pos="26:8" pos1="26:25">
<dsgn pos="26:8">
<node text="Sender" pos="26:14"/>
</dsgn>
<op text="is" pos="26:17"/>
<dsgn pos="26:18">
<node text="TObject" pos="26:25"/>
</dsgn>
</expr>
</assignstmt>
<assignstmt pos="27:3">
<dsgn pos="27:3">
<node text="x" pos="27:4"/>
</dsgn>
<expr pos="27:8" pos1="27:10">
<dsgn pos="27:8">
<addr text="@" pos="27:9"/>
<node text="P" pos="27:10"/>
</dsgn>
</expr>
</assignstmt>
<assignstmt pos="28:3">
<dsgn pos="28:3">
<node text="x" pos="28:4"/>
</dsgn>
<expr pos="28:8" pos1="28:22">
<dsgn pos="28:21">
<node text="Get" pos="28:21"/>
<expr pos="28:21">
<string text="'Data.&#34;Field&#34;'" pos="28:21"/>
</expr>
</dsgn>
</expr>
</assignstmt>
<assignstmt pos="29:3">
<dsgn pos="29:3">
<node text="x" pos="29:4"/>
</dsgn>
<expr pos="29:8" pos1="29:17">
<number text="1.5E3" pos="29:13"/>
<op text="/" pos="29:15"/>
<number text="2" pos="29:17"/>
</expr>
</assignstmt>
<assignstmt pos="30:3">
<dsgn pos="30:3">
<node text="arr" pos="30:6"/>
<node text="[" pos="30:7"/>
<expr pos="30:7" pos1="30:8">
<number text="1" pos="30:8"/>
</expr>
<expr pos="30:10" pos1="30:11">
<number text="2" pos="30:11"/>
</expr>
</dsgn>
<expr pos="30:16" pos1="30:19">
<string text="'z'" pos="30:19"/>
</expr>
</assignstmt>
<assignstmt pos="31:3">
<dsgn pos="31:3">
<node text="Obj" pos="31:6"/>
<node text="Method" pos="31:13"/>
<expr pos="31:14" pos1="31:15">
<number text="1" pos="31:15"/>
</expr>
<expr pos="31:17" pos1="31:22">
<string text="'two'" pos="31:22"/>
</expr>
<node text="[" pos="31:24"/>
<expr pos="31:24" pos1="31:25">
<number text="3" pos="31:25"/>
</expr>
<node text="Prop" pos="31:31"/>
</dsgn>
<expr pos="31:35" pos1="31:38">
<dsgn pos="31:35">
<node text="nil" pos="31:38"/>
</dsgn>
</expr>
</assignstmt>
<callstmt pos="32:3">
<dsgn pos="32:3">
<node text="P" pos="32:4"/>
<expr pos="32:5" pos1="32:6">
<dsgn pos="32:5">
<node text="a" pos="32:6"/>
</dsgn>
</expr>
<expr pos="32:8" pos1="32:11">
<string text="'q'" pos="32:11"/>
</expr>
</dsgn>
</callstmt>
<ifstmt pos="33:3">
<expr pos="33:6" pos1="33:11">
<dsgn pos="33:6">
<node text="a" pos="33:7"/>
</dsgn>
<op text="&#62;" pos="33:9"/>
<number text="1" pos="33:11"/>
</expr>
<thenstmt pos="33:17">
<assignstmt pos="33:17">
<dsgn pos="33:17">
<node text="b" pos="33:18"/>
</dsgn>
<expr pos="33:22" pos1="33:23">
<number text="1" pos="33:23"/>
</expr>
</assignstmt>
</thenstmt>
<elsestmt pos="33:29">
<assignstmt pos="33:29">
<dsgn pos="33:29">
<node text="b" pos="33:30"/>
</dsgn>
<expr pos="33:34" pos1="33:35">
<number text="2" pos="33:35"/>
</expr>
</assignstmt>
</elsestmt>
</ifstmt>
<ifstmt pos="34:3">
<expr pos="34:6" pos1="34:11">
<dsgn pos="34:6">
<node text="a" pos="34:7"/>
</dsgn>
<op text="&#62;" pos="34:9"/>
<number text="1" pos="34:11"/>
</expr>
<thenstmt pos="34:17"/>
<elsestmt pos="34:22">
<assignstmt pos="34:22">
<dsgn pos="34:22">
<node text="b" pos="34:23"/>
</dsgn>
<expr pos="34:27" pos1="34:28">
<number text="3" pos="34:28"/>
</expr>
</assignstmt>
</elsestmt>
</ifstmt>
<casestmt pos="35:3">
<expr pos="35:8" pos1="35:9">
<dsgn pos="35:8">
<node text="a" pos="35:9"/>
</dsgn>
</expr>
<caseselector pos="36:5">
<set pos="36:5">
<expr pos="36:5" pos1="36:6">
<number text="1" pos="36:6"/>
</expr>
</set>
<assignstmt pos="36:8">
<dsgn pos="36:8">
<node text="b" pos="36:9"/>
</dsgn>
<expr pos="36:13" pos1="36:14">
<number text="1" pos="36:14"/>
</expr>
</assignstmt>
</caseselector>
<caseselector pos="37:5">
<set pos="37:5">
<expr pos="37:5" pos1="37:6">
<number text="2" pos="37:6"/>
</expr>
<range text="." pos="37:7"/>
<expr pos="37:8" pos1="37:9">
<number text="5" pos="37:9"/>
</expr>
<expr pos="37:11" pos1="37:12">
<number text="7" pos="37:12"/>
</expr>
</set>
<assignstmt pos="37:14">
<dsgn pos="37:14">
<node text="b" pos="37:15"/>
</dsgn>
<expr pos="37:19" pos1="37:20">
<number text="2" pos="37:20"/>
</expr>
</assignstmt>
</caseselector>
<assignstmt pos="39:5">
<dsgn pos="39:5">
<node text="b" pos="39:6"/>
</dsgn>
<expr pos="39:10" pos1="39:11">
<number text="3" pos="39:11"/>
</expr>
</assignstmt>
</casestmt>
<repeatstmt pos="41:3">
<assignstmt pos="41:10">
<dsgn pos="41:10">
<node text="a" pos="41:11"/>
</dsgn>
<expr pos="41:15" pos1="41:20">
<dsgn pos="41:15">
<node text="a" pos="41:16"/>
</dsgn>
<op text="+" pos="41:18"/>
<number text="1" pos="41:20"/>
</expr>
</assignstmt>
<expr pos="41:27" pos1="41:33">
<dsgn pos="41:27">
<node text="a" pos="41:28"/>
</dsgn>
<op text="&#62;" pos="41:30"/>
<number text="10" pos="41:33"/>
</expr>
</repeatstmt>
<whilestmt pos="42:3">
<expr pos="42:9" pos1="42:14">
<dsgn pos="42:9">
<node text="a" pos="42:10"/>
</dsgn>
<op text="&#62;" pos="42:12"/>
<number text="0" pos="42:14"/>
</expr>
<assignstmt pos="42:18">
<dsgn pos="42:18">
<node text="a" pos="42:19"/>
</dsgn>
<expr pos="42:23" pos1="42:28">
<dsgn pos="42:23">
<node text="a" pos="42:24"/>
</dsgn>
<op text="-" pos="42:26"/>
<number text="1" pos="42:28"/>
</expr>
</assignstmt>
</whilestmt>
<forstmt pos="43:3">
<ident text="a" pos="43:8"/>
<expr pos="43:12" pos1="43:13">
<number text="1" pos="43:13"/>
</expr>
<expr pos="43:17" pos1="43:19">
<number text="10" pos="43:19"/>
</expr>
<assignstmt pos="43:23">
<dsgn pos="43:23">
<node text="b" pos="43:24"/>
</dsgn>
<expr pos="43:28" pos1="43:33">
<dsgn pos="43:28">
<node text="b" pos="43:29"/>
</dsgn>
<op text="+" pos="43:31"/>
<dsgn pos="43:32">
<node text="a" pos="43:33"/>
</dsgn>
</expr>
</assignstmt>
</forstmt>
<forstmt pos="44:3">
<ident text="a" pos="44:8"/>
<expr pos="44:12" pos1="44:14">
<number text="10" pos="44:14"/>
</expr>
<downto text="downto" pos="44:21"/>
<expr pos="44:22" pos1="44:23">
<number text="1" pos="44:23"/>
</expr>
</forstmt>
<trystmt pos="45:3">
<assignstmt pos="46:5">
<dsgn pos="46:5">
<node text="b" pos="46:6"/>
</dsgn>
<expr pos="46:10" pos1="46:11">
<number text="1" pos="46:11"/>
</expr>
</assignstmt>
<finallystmt pos="48:5">
<assignstmt pos="48:5">
<dsgn pos="48:5">
<node text="b" pos="48:6"/>
</dsgn>
<expr pos="48:10" pos1="48:11">
<number text="2" pos="48:11"/>
</expr>
</assignstmt>
</finallystmt>
</trystmt>
<trystmt pos="50:3">
<assignstmt pos="50:7">
<dsgn pos="50:7">
<node text="b" pos="50:8"/>
</dsgn>
<expr pos="50:12" pos1="50:13">
<number text="1" pos="50:13"/>
</expr>
</assignstmt>
<exceptstmt pos="50:21">
<assignstmt pos="50:21">
<dsgn pos="50:21">
<node text="b" pos="50:22"/>
</dsgn>
<expr pos="50:26" pos1="50:27">
<number text="2" pos="50:27"/>
</expr>
</assignstmt>
</exceptstmt>
</trystmt>
<with pos="51:3">
<dsgn pos="51:8">
<node text="Obj" pos="51:11"/>
</dsgn>
<dsgn pos="51:13">
<node text="Obj2" pos="51:17"/>
</dsgn>
<assignstmt pos="51:21">
<dsgn pos="51:21">
<node text="Prop" pos="51:25"/>
</dsgn>
<expr pos="51:29" pos1="51:30">
<number text="1" pos="51:30"/>
</expr>
</assignstmt>
</with>
<compoundstmt pos="52:3">
<break pos="52:9"/>
<continue pos="52:16"/>
<exit pos="52:26"/>
</compoundstmt>
</compoundstmt>
<types/>
</program>
