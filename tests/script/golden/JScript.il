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
<expr pos="1:10" pos1="1:11">
<number text="3" pos="1:11"/>
</expr>
</dim>
</array>
<init pos="1:13">
<expr pos="1:15" pos1="1:16">
<number text="1" pos="1:16"/>
</expr>
</init>
</var>
<var pos="1:18">
<ident text="c" pos="1:19"/>
</var>
<function pos="2:1">
<name text="P" pos="2:11"/>
<parameters pos="2:11">
<var pos="2:12">
<ident text="x" pos="2:13"/>
</var>
<var pos="2:15">
<varparam text="&" pos="2:16"/>
<ident text="y" pos="2:17"/>
</var>
</parameters>
<compoundstmt pos="3:3">
<assignstmt pos="3:3">
<dsgn pos="3:3">
<node text="y" pos="3:4"/>
</dsgn>
<expr pos="3:7" pos1="3:12">
<dsgn pos="3:7">
<node text="x" pos="3:8"/>
</dsgn>
<op text="+" pos="3:10"/>
<number text="1" pos="3:12"/>
</expr>
</assignstmt>
<return pos="4:3">
<expr pos="4:10" pos1="4:11">
<dsgn pos="4:10">
<node text="y" pos="4:11"/>
</dsgn>
</expr>
</return>
</compoundstmt>
</function>
<assignstmt pos="6:1">
<dsgn pos="6:1">
<node text="a" pos="6:2"/>
</dsgn>
<expr pos="6:5" pos1="6:38">
<op text="unminus" pos="6:6"/>
<dsgn pos="6:6">
<node text="b" pos="6:7"/>
<node text="[" pos="6:8"/>
<expr pos="6:8" pos1="6:9">
<number text="1" pos="6:9"/>
</expr>
</dsgn>
<op text="*" pos="6:12"/>
<op text="(" pos="6:14"/>
<expr pos="6:14" pos1="6:19">
<dsgn pos="6:14">
<node text="a" pos="6:15"/>
</dsgn>
<op text="+" pos="6:17"/>
<number text="1" pos="6:19"/>
</expr>
<op text=")" pos="6:20"/>
<op text="/" pos="6:22"/>
<number text="2" pos="6:24"/>
<op text="mod" pos="6:26"/>
<number text="3" pos="6:28"/>
<op text="shl" pos="6:31"/>
<number text="1" pos="6:33"/>
<op text="shr" pos="6:36"/>
<number text="1" pos="6:38"/>
</expr>
</assignstmt>
<assignstmt pos="7:1">
<dsgn pos="7:1">
<node text="a" pos="7:2"/>
</dsgn>
<expr pos="7:5" pos1="7:12">
<dsgn pos="7:5">
<node text="a" pos="7:6"/>
</dsgn>
<op text="div" pos="7:10"/>
<number text="2" pos="7:12"/>
</expr>
</assignstmt>
<assignstmt pos="8:1">
<dsgn pos="8:1">
<node text="c" pos="8:2"/>
</dsgn>
<expr pos="8:5" pos1="8:21">
<dsgn pos="8:5">
<node text="a" pos="8:6"/>
</dsgn>
<op text="and" pos="8:9"/>
<op text="not" pos="8:11"/>
<dsgn pos="8:11">
<node text="b" pos="8:12"/>
</dsgn>
<op text="or" pos="8:15"/>
<dsgn pos="8:16">
<node text="a" pos="8:17"/>
</dsgn>
<op text="xor" pos="8:19"/>
<dsgn pos="8:20">
<node text="b" pos="8:21"/>
</dsgn>
</expr>
</assignstmt>
<assignstmt pos="9:1">
<dsgn pos="9:1">
<node text="c" pos="9:2"/>
</dsgn>
<expr pos="9:5" pos1="9:71">
<op text="(" pos="9:6"/>
<expr pos="9:6" pos1="9:12">
<dsgn pos="9:6">
<node text="a" pos="9:7"/>
</dsgn>
<op text="=" pos="9:10"/>
<dsgn pos="9:11">
<node text="b" pos="9:12"/>
</dsgn>
</expr>
<op text=")" pos="9:13"/>
<op text="or" pos="9:16"/>
<op text="(" pos="9:18"/>
<expr pos="9:18" pos1="9:24">
<dsgn pos="9:18">
<node text="a" pos="9:19"/>
</dsgn>
<op text="&#60;&#62;" pos="9:22"/>
<dsgn pos="9:23">
<node text="b" pos="9:24"/>
</dsgn>
</expr>
<op text=")" pos="9:25"/>
<op text="or" pos="9:28"/>
<op text="(" pos="9:30"/>
<expr pos="9:30" pos1="9:35">
<dsgn pos="9:30">
<node text="a" pos="9:31"/>
</dsgn>
<op text="&#60;" pos="9:33"/>
<dsgn pos="9:34">
<node text="b" pos="9:35"/>
</dsgn>
</expr>
<op text=")" pos="9:36"/>
<op text="or" pos="9:39"/>
<op text="(" pos="9:41"/>
<expr pos="9:41" pos1="9:46">
<dsgn pos="9:41">
<node text="a" pos="9:42"/>
</dsgn>
<op text="&#62;" pos="9:44"/>
<dsgn pos="9:45">
<node text="b" pos="9:46"/>
</dsgn>
</expr>
<op text=")" pos="9:47"/>
<op text="or" pos="9:50"/>
<op text="(" pos="9:52"/>
<expr pos="9:52" pos1="9:58">
<dsgn pos="9:52">
<node text="a" pos="9:53"/>
</dsgn>
<op text="&#60;=" pos="9:56"/>
<dsgn pos="9:57">
<node text="b" pos="9:58"/>
</dsgn>
</expr>
<op text=")" pos="9:59"/>
<op text="or" pos="9:62"/>
<op text="(" pos="9:64"/>
<expr pos="9:64" pos1="9:70">
<dsgn pos="9:64">
<node text="a" pos="9:65"/>
</dsgn>
<op text="&#62;=" pos="9:68"/>
<dsgn pos="9:69">
<node text="b" pos="9:70"/>
</dsgn>
</expr>
<op text=")" pos="9:71"/>
</expr>
</assignstmt>
<assignstmt pos="10:1">
<dsgn pos="10:1">
<node text="c" pos="10:2"/>
</dsgn>
<expr pos="10:5" pos1="10:19">
<dsgn pos="10:5">
<node text="a" pos="10:6"/>
</dsgn>
<op text="in" pos="10:9"/>
<set pos="10:11">
<expr pos="10:11" pos1="10:12">
<number text="1" pos="10:12"/>
</expr>
<expr pos="10:14" pos1="10:15">
<number text="2" pos="10:15"/>
</expr>
<range text="." pos="10:17"/>
<expr pos="10:17" pos1="10:18">
<number text="5" pos="10:18"/>
</expr>
</set>
</expr>
</assignstmt>
<assignstmt pos="11:1">
<dsgn pos="11:1">
<node text="c" pos="11:2"/>
</dsgn>
<expr pos="11:5" pos1="11:7">
<dsgn pos="11:5">
<addr text="&" pos="11:6"/>
<node text="P" pos="11:7"/>
</dsgn>
</expr>
</assignstmt>
<assignstmt pos="12:1">
<dsgn pos="12:1">
<node text="c" pos="12:2"/>
</dsgn>
<expr pos="12:5" pos1="12:19">
<dsgn pos="12:18">
<node text="Get" pos="12:18"/>
<expr pos="12:18">
<string text="'Data.&#34;Field&#34;'" pos="12:18"/>
</expr>
</dsgn>
</expr>
</assignstmt>
<assignstmt pos="13:1">
<dsgn pos="13:1">
<node text="c" pos="13:2"/>
</dsgn>
<expr pos="13:5" pos1="13:17">
<number text="$1F" pos="13:9"/>
<op text="+" pos="13:11"/>
<string text="'x&#10;'" pos="13:17"/>
</expr>
</assignstmt>
<assignstmt pos="14:1">
<dsgn pos="14:1">
<node text="a" pos="14:2"/>
</dsgn>
<modificator text="+" pos="14:4"/>
<expr pos="14:6" pos1="14:7">
<number text="1" pos="14:7"/>
</expr>
</assignstmt>
<assignstmt pos="14:9">
<dsgn pos="14:9">
<node text="a" pos="14:10"/>
</dsgn>
<modificator text="-" pos="14:12"/>
<expr pos="14:14" pos1="14:15">
<number text="1" pos="14:15"/>
</expr>
</assignstmt>
<assignstmt pos="14:17">
<dsgn pos="14:17">
<node text="a" pos="14:18"/>
</dsgn>
<modificator text="*" pos="14:20"/>
<expr pos="14:22" pos1="14:23">
<number text="2" pos="14:23"/>
</expr>
</assignstmt>
<assignstmt pos="14:25">
<dsgn pos="14:25">
<node text="a" pos="14:26"/>
</dsgn>
<modificator text="/" pos="14:28"/>
<expr pos="14:30" pos1="14:31">
<number text="2" pos="14:31"/>
</expr>
</assignstmt>
<callstmt pos="15:1">
<dsgn pos="15:1">
<node text="a" pos="15:2"/>
</dsgn>
<modificator text="+" pos="15:4"/>
</callstmt>
<callstmt pos="15:6">
<dsgn pos="15:6">
<node text="a" pos="15:7"/>
</dsgn>
<modificator text="-" pos="15:9"/>
</callstmt>
<assignstmt pos="16:1">
<dsgn pos="16:1">
<node text="o" pos="16:2"/>
</dsgn>
<expr pos="16:5" pos1="16:19">
<new pos="16:5">
<dsgn pos="16:9">
<node text="TObject" pos="16:16"/>
<expr pos="16:17" pos1="16:18">
<number text="1" pos="16:18"/>
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
<callstmt pos="18:1">
<dsgn pos="18:1">
<node text="P" pos="18:2"/>
<expr pos="18:3" pos1="18:4">
<dsgn pos="18:3">
<node text="a" pos="18:4"/>
</dsgn>
</expr>
<expr pos="18:6" pos1="18:9">
<string text="'q'" pos="18:9"/>
</expr>
</dsgn>
</callstmt>
<ifstmt pos="19:1">
<expr pos="19:5" pos1="19:10">
<dsgn pos="19:5">
<node text="a" pos="19:6"/>
</dsgn>
<op text="&#62;" pos="19:8"/>
<number text="1" pos="19:10"/>
</expr>
<thenstmt pos="19:12">
<assignstmt pos="19:12">
<dsgn pos="19:12">
<node text="b" pos="19:13"/>
</dsgn>
<expr pos="19:16" pos1="19:17">
<number text="1" pos="19:17"/>
</expr>
</assignstmt>
</thenstmt>
<elsestmt pos="19:24">
<compoundstmt pos="19:26">
<assignstmt pos="19:26">
<dsgn pos="19:26">
<node text="b" pos="19:27"/>
</dsgn>
<expr pos="19:30" pos1="19:31">
<number text="2" pos="19:31"/>
</expr>
</assignstmt>
</compoundstmt>
</elsestmt>
</ifstmt>
<casestmt pos="20:1">
<expr pos="20:9" pos1="20:10">
<dsgn pos="20:9">
<node text="a" pos="20:10"/>
</dsgn>
</expr>
<caseselector pos="20:14">
<set pos="20:19">
<expr pos="20:19" pos1="20:20">
<number text="1" pos="20:20"/>
</expr>
</set>
<assignstmt pos="20:22">
<dsgn pos="20:22">
<node text="b" pos="20:23"/>
</dsgn>
<expr pos="20:26" pos1="20:27">
<number text="1" pos="20:27"/>
</expr>
</assignstmt>
</caseselector>
<caseselector pos="20:29">
<set pos="20:34">
<expr pos="20:34" pos1="20:35">
<number text="2" pos="20:35"/>
</expr>
<range text="." pos="20:37"/>
<expr pos="20:37" pos1="20:38">
<number text="5" pos="20:38"/>
</expr>
<expr pos="20:40" pos1="20:41">
<number text="7" pos="20:41"/>
</expr>
</set>
<compoundstmt pos="20:45">
<assignstmt pos="20:45">
<dsgn pos="20:45">
<node text="b" pos="20:46"/>
</dsgn>
<expr pos="20:49" pos1="20:50">
<number text="2" pos="20:50"/>
</expr>
</assignstmt>
</compoundstmt>
</caseselector>
<assignstmt pos="20:63">
<dsgn pos="20:63">
<node text="b" pos="20:64"/>
</dsgn>
<expr pos="20:67" pos1="20:68">
<number text="3" pos="20:68"/>
</expr>
</assignstmt>
</casestmt>
<repeatstmt pos="21:1">
<callstmt pos="21:4">
<dsgn pos="21:4">
<node text="a" pos="21:5"/>
</dsgn>
<modificator text="+" pos="21:7"/>
</callstmt>
<expr pos="21:16" pos1="21:22">
<dsgn pos="21:16">
<node text="a" pos="21:17"/>
</dsgn>
<op text="&#60;" pos="21:19"/>
<number text="10" pos="21:22"/>
</expr>
<inverse text="" pos="21:22"/>
</repeatstmt>
<whilestmt pos="22:1">
<expr pos="22:8" pos1="22:13">
<dsgn pos="22:8">
<node text="a" pos="22:9"/>
</dsgn>
<op text="&#62;" pos="22:11"/>
<number text="0" pos="22:13"/>
</expr>
<callstmt pos="22:15">
<dsgn pos="22:15">
<node text="a" pos="22:16"/>
</dsgn>
<modificator text="-" pos="22:18"/>
</callstmt>
</whilestmt>
<cppforstmt pos="23:1">
<compoundstmt pos="23:6">
<var pos="23:10">
<ident text="i" pos="23:11"/>
<init pos="23:12">
<expr pos="23:14" pos1="23:15">
<number text="0" pos="23:15"/>
</expr>
</init>
</var>
<var pos="23:17">
<ident text="j" pos="23:18"/>
<init pos="23:19">
<expr pos="23:21" pos1="23:22">
<number text="0" pos="23:22"/>
</expr>
</init>
</var>
</compoundstmt>
<expr pos="23:24" pos1="23:29">
<dsgn pos="23:24">
<node text="i" pos="23:25"/>
</dsgn>
<op text="&#60;" pos="23:27"/>
<number text="3" pos="23:29"/>
</expr>
<compoundstmt pos="23:31">
<callstmt pos="23:31">
<dsgn pos="23:31">
<node text="i" pos="23:32"/>
</dsgn>
<modificator text="+" pos="23:34"/>
</callstmt>
</compoundstmt>
<assignstmt pos="23:36">
<dsgn pos="23:36">
<node text="s" pos="23:37"/>
</dsgn>
<modificator text="+" pos="23:39"/>
<expr pos="23:41" pos1="23:42">
<dsgn pos="23:41">
<node text="i" pos="23:42"/>
</dsgn>
</expr>
</assignstmt>
</cppforstmt>
<cppforstmt pos="24:1">
<compoundstmt pos="24:6">
<assignstmt pos="24:6">
<dsgn pos="24:6">
<node text="i" pos="24:7"/>
</dsgn>
<expr pos="24:10" pos1="24:11">
<number text="0" pos="24:11"/>
</expr>
</assignstmt>
</compoundstmt>
<expr pos="24:13" pos1="24:18">
<dsgn pos="24:13">
<node text="i" pos="24:14"/>
</dsgn>
<op text="&#60;" pos="24:16"/>
<number text="3" pos="24:18"/>
</expr>
<compoundstmt pos="24:20">
<callstmt pos="24:20">
<dsgn pos="24:20">
<node text="i" pos="24:21"/>
</dsgn>
<modificator text="+" pos="24:23"/>
</callstmt>
</compoundstmt>
<compoundstmt pos="24:26"/>
</cppforstmt>
<trystmt pos="25:1">
<compoundstmt pos="25:7">
<assignstmt pos="25:7">
<dsgn pos="25:7">
<node text="b" pos="25:8"/>
</dsgn>
<expr pos="25:11" pos1="25:12">
<number text="1" pos="25:12"/>
</expr>
</assignstmt>
</compoundstmt>
<finallystmt pos="25:24">
<compoundstmt pos="25:26">
<assignstmt pos="25:26">
<dsgn pos="25:26">
<node text="b" pos="25:27"/>
</dsgn>
<expr pos="25:30" pos1="25:31">
<number text="2" pos="25:31"/>
</expr>
</assignstmt>
</compoundstmt>
</finallystmt>
</trystmt>
<trystmt pos="26:1">
<compoundstmt pos="26:7">
<assignstmt pos="26:7">
<dsgn pos="26:7">
<node text="b" pos="26:8"/>
</dsgn>
<expr pos="26:11" pos1="26:12">
<number text="1" pos="26:12"/>
</expr>
</assignstmt>
</compoundstmt>
<exceptstmt pos="26:23">
<compoundstmt pos="26:25">
<assignstmt pos="26:25">
<dsgn pos="26:25">
<node text="b" pos="26:26"/>
</dsgn>
<expr pos="26:29" pos1="26:30">
<number text="2" pos="26:30"/>
</expr>
</assignstmt>
</compoundstmt>
</exceptstmt>
</trystmt>
<with pos="27:1">
<dsgn pos="27:7">
<node text="o" pos="27:8"/>
</dsgn>
<compoundstmt pos="27:12">
<assignstmt pos="27:12">
<dsgn pos="27:12">
<node text="Prop" pos="27:16"/>
</dsgn>
<expr pos="27:19" pos1="27:20">
<number text="1" pos="27:20"/>
</expr>
</assignstmt>
</compoundstmt>
</with>
<compoundstmt pos="28:3">
<break pos="28:3"/>
<continue pos="28:10"/>
</compoundstmt>
</compoundstmt>
<types/>
</program>
