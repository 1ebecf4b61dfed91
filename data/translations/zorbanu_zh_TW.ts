<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>CommandLine</name>
    <message>
        <source>%1: unknown argument &apos;%2&apos;</source>
        <translation>%1: 無法辨識的參數「%2」</translation>
    </message>
</context>
<context>
    <name>HandlerGate</name>
    <message>
        <source>Runtime error: %1</source>
        <translation>執行時錯誤: %1</translation>
    </message>
</context>
<context>
    <name>Usage</name>
    <message>
        <source>none: the problems are silent</source>
        <translation>沒有：讀題沒有聲音</translation>
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

給小朋友的算術練習: 用普通話讀題, 輸入答案後按 Enter。在視窗上按右鍵選擇範圍和運算。

聲音資料夾: %1
(每次讀題時重新選擇: 目前的資料夾, 然後是 $XDG_DATA_HOME/zorbanu/clips
(預設是 ~/.local/share/zorbanu/clips), 然後是安裝的語音包; 用第一個有全部讀音片段的資料夾)
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

錄製我的聲音: 家長一個字一個字地錄下讀題用的十七個字, 算術練習就用這個聲音讀題。
另外六個片段是一、五、九、百在數裡變調的讀法 (例如一百、五十), 錄了讀數更自然, 也可以不錄。
錄音儲存在 $XDG_DATA_HOME/zorbanu/clips (預設是 ~/.local/share/zorbanu/clips)。
</translation>
    </message>
</context>
<context>
    <name>recorder::RecorderWindow</name>
    <message>
        <source>Record my voice</source>
        <translation>錄製我的聲音</translation>
    </message>
    <message>
        <source>Record my voice is already open.</source>
        <translation>「錄製我的聲音」已經開啟了。</translation>
    </message>
    <message>
        <source>No speech was heard. Come closer to the microphone, press Record and say the word again. The voice has not changed.</source>
        <translation>沒有聽到說話聲。請靠近麥克風，按錄音後再說一次。原來的聲音沒有變。</translation>
    </message>
    <message>
        <source>Too loud: the take is all noise. Move a little away from the microphone and record again. The voice has not changed.</source>
        <translation>聲音太大，錄出來全是雜音。請離麥克風遠一點再錄一次。原來的聲音沒有變。</translation>
    </message>
    <message>
        <source>No microphone was found. Plug one in, then press Record.</source>
        <translation>沒有找到麥克風。插上麥克風後，再按「錄音」。</translation>
    </message>
    <message>
        <source>Press Record, say the word into the microphone, then press the button again.</source>
        <translation>按「錄音」，對著麥克風說出這個字，說完再按一次。</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>錄音</translation>
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
        <translation>%1 以內</translation>
    </message>
    <message>
        <source>&amp;Range:</source>
        <translation>範圍(&amp;R):</translation>
    </message>
    <message>
        <source>Hear a problem</source>
        <translation>聽一道題</translation>
    </message>
    <message>
        <source>Restore the original voice</source>
        <translation>恢復原聲</translation>
    </message>
    <message>
        <source>No microphone was found, so nothing can be recorded. Plug one in and try again.</source>
        <translation>沒有找到麥克風，無法錄音。插上麥克風後再試一次。</translation>
    </message>
    <message>
        <source>Recording “%1”… Press Stop when you are done; it also stops by itself after 3 seconds.</source>
        <translation>正在錄「%1」……說完再按一次「停止」，3 秒後也會自動停止。</translation>
    </message>
    <message>
        <source>“%1” is recorded. Press Play to hear it.</source>
        <translation>「%1」錄好了。按「播放」聽一聽。</translation>
    </message>
    <message>
        <source>The recording could not be saved (the disk is full, or the folder cannot be written). The voice has not changed.</source>
        <translation>錄音沒能儲存（磁碟滿了，或者資料夾無法寫入）。原來的聲音沒有變。</translation>
    </message>
    <message>
        <source>The microphone stopped working, so this take was not recorded. The voice has not changed.</source>
        <translation>麥克風不能用了，這次沒有錄上。原來的聲音沒有變。</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Stop recording %1</source>
        <translation>停止錄 %1</translation>
    </message>
    <message>
        <source>Record %1</source>
        <translation>錄音 %1</translation>
    </message>
    <message>
        <source>Recorded</source>
        <translation>已錄</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>原聲</translation>
    </message>
    <message>
        <source>Delete all your own recordings and go back to the original voice?</source>
        <translation>要刪掉自己錄的所有聲音，換回原聲嗎？</translation>
    </message>
    <message>
        <source>The original voice is back.</source>
        <translation>已經換回原聲。</translation>
    </message>
    <message>
        <source>Your recordings could not be deleted. Please try again.</source>
        <translation>沒能刪掉自己錄的聲音，請再試一次。</translation>
    </message>
    <message>
        <source>The sound system is not answering, so nothing was recorded. Press Record again in a moment.</source>
        <translation>聲音系統沒有回應，什麼也沒錄到。請稍後再按「錄音」。</translation>
    </message>
    <message>
        <source>%1 as in %2</source>
        <translation>%2裡的%1</translation>
    </message>
    <message>
        <source>For a more natural reading (you may leave these out):</source>
        <translation>讀數更自然（可以不錄）：</translation>
    </message>
    <message>
        <source>Recording: say only the red word, as you say it in “%1”… Press Stop when you are done; it also stops by itself after 3 seconds.</source>
        <translation>正在錄：只說紅色的字，像在「%1」裡那樣說……說完再按一次「停止」，3 秒後也會自動停止。</translation>
    </message>
</context>
</TS>
