<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CommandLine</name>
    <message>
        <source>%1: unknown argument &apos;%2&apos;</source>
        <translation>%1: 不认识的参数“%2”</translation>
    </message>
</context>
<context>
    <name>HandlerGate</name>
    <message>
        <source>Runtime error: %1</source>
        <translation>运行时错误: %1</translation>
    </message>
</context>
<context>
    <name>Usage</name>
    <message>
        <source>none: the problems are silent</source>
        <translation>没有：读题没有声音</translation>
    </message>
    <message>
        <source>Usage: zorbanu [--help | --version]

Arithmetic practice for young children: each problem is read aloud in Mandarin;
type the answer and press Enter. Right-click the window to choose the range and
the operation.

Voice folder: %1
(chosen again for every reading: the current folder, then
$XDG_DATA_HOME/zorbanu/clips (by default ~/.local/share/zorbanu/clips), then the
installed pack; the first that holds every speech clip)
</source>
        <translation>用法: zorbanu [--help | --version]

给小朋友的算术练习: 用普通话读题, 输入答案后按回车。右击窗口选择范围和运算。

声音文件夹: %1
(每次读题时重新选择: 当前文件夹, 然后是 $XDG_DATA_HOME/zorbanu/clips
(默认是 ~/.local/share/zorbanu/clips), 然后是安装的语音包; 用第一个有全部读音片段的文件夹)
</translation>
    </message>
    <message>
        <source>Usage: zorbanu-recorder [--help | --version]

Record my voice: a parent records, word by word, the seventeen words a problem
is read from, and the arithmetic quiz then speaks in that voice. Six more, the
forms 一, 五, 九 and 百 take inside a number (as in 一百, 五十), make the
reading more natural and may be left out. The recordings are kept in
$XDG_DATA_HOME/zorbanu/clips (by default ~/.local/share/zorbanu/clips).
</source>
        <translation>用法: zorbanu-recorder [--help | --version]

录制我的声音: 家长一个字一个字地录下读题用的十七个字, 算术练习就用这个声音读题。
另外六个片段是一、五、九、百在数里变调的读法 (比如一百、五十), 录了读数更自然, 也可以不录。
录音保存在 $XDG_DATA_HOME/zorbanu/clips (默认是 ~/.local/share/zorbanu/clips)。
</translation>
    </message>
</context>
<context>
    <name>recorder::RecorderWindow</name>
    <message>
        <source>Record my voice</source>
        <translation>录制我的声音</translation>
    </message>
    <message>
        <source>Record my voice is already open.</source>
        <translation>“录制我的声音”已经打开了。</translation>
    </message>
    <message>
        <source>No speech was heard. Come closer to the microphone, press Record and say the word again. The voice has not changed.</source>
        <translation>没有听到说话声。请靠近麦克风，按录音后再说一次。原来的声音没有变。</translation>
    </message>
    <message>
        <source>Too loud: the take is all noise. Move a little away from the microphone and record again. The voice has not changed.</source>
        <translation>声音太大，录出来全是杂音。请离麦克风远一点再录一次。原来的声音没有变。</translation>
    </message>
    <message>
        <source>No microphone was found. Plug one in, then press Record.</source>
        <translation>没有找到麦克风。插上麦克风后，再按“录音”。</translation>
    </message>
    <message>
        <source>Press Record, say the word into the microphone, then press the button again.</source>
        <translation>按“录音”，对着麦克风说出这个字，说完再按一次。</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>录音</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>播放</translation>
    </message>
    <message>
        <source>Play %1</source>
        <translation>播放 %1</translation>
    </message>
    <message>
        <source>Within %1</source>
        <translation>%1 以内</translation>
    </message>
    <message>
        <source>&amp;Range:</source>
        <translation>范围(&amp;R):</translation>
    </message>
    <message>
        <source>Hear a problem</source>
        <translation>听一道题</translation>
    </message>
    <message>
        <source>Restore the original voice</source>
        <translation>恢复原声</translation>
    </message>
    <message>
        <source>No microphone was found, so nothing can be recorded. Plug one in and try again.</source>
        <translation>没有找到麦克风，不能录音。插上麦克风后再试一次。</translation>
    </message>
    <message>
        <source>Recording “%1”… Press Stop when you are done; it also stops by itself after 3 seconds.</source>
        <translation>正在录“%1”……说完再按一次“停止”，3 秒后也会自动停止。</translation>
    </message>
    <message>
        <source>“%1” is recorded. Press Play to hear it.</source>
        <translation>“%1”录好了。按“播放”听一听。</translation>
    </message>
    <message>
        <source>The recording could not be saved (the disk is full, or the folder cannot be written). The voice has not changed.</source>
        <translation>录音没能保存（磁盘满了，或者文件夹不能写）。原来的声音没有变。</translation>
    </message>
    <message>
        <source>The microphone stopped working, so this take was not recorded. The voice has not changed.</source>
        <translation>麦克风不能用了，这次没有录上。原来的声音没有变。</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Stop recording %1</source>
        <translation>停止录 %1</translation>
    </message>
    <message>
        <source>Record %1</source>
        <translation>录音 %1</translation>
    </message>
    <message>
        <source>Recorded</source>
        <translation>已录</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>原声</translation>
    </message>
    <message>
        <source>Delete all your own recordings and go back to the original voice?</source>
        <translation>要删掉自己录的所有声音，换回原声吗？</translation>
    </message>
    <message>
        <source>The original voice is back.</source>
        <translation>已经换回原声。</translation>
    </message>
    <message>
        <source>Your recordings could not be deleted. Please try again.</source>
        <translation>没能删掉自己录的声音，请再试一次。</translation>
    </message>
    <message>
        <source>The sound system is not answering, so nothing was recorded. Press Record again in a moment.</source>
        <translation>声音系统没有回应，什么也没录到。请过一会儿再按“录音”。</translation>
    </message>
    <message>
        <source>%1 as in %2</source>
        <translation>%2里的%1</translation>
    </message>
    <message>
        <source>For a more natural reading (you may leave these out):</source>
        <translation>读数更自然（可以不录）：</translation>
    </message>
    <message>
        <source>Recording: say only the red word, as you say it in “%1”… Press Stop when you are done; it also stops by itself after 3 seconds.</source>
        <translation>正在录：只说红色的字，像在“%1”里那样说……说完再按一次“停止”，3 秒后也会自动停止。</translation>
    </message>
</context>
</TS>
