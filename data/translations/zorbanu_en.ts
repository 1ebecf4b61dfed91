<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>CommandLine</name>
    <message>
        <source>%1: unknown argument &apos;%2&apos;</source>
        <translation>%1: unknown argument &apos;%2&apos;</translation>
    </message>
</context>
<context>
    <name>HandlerGate</name>
    <message>
        <source>Runtime error: %1</source>
        <translation>Runtime error: %1</translation>
    </message>
</context>
<context>
    <name>Usage</name>
    <message>
        <source>none: the problems are silent</source>
        <translation>none: the problems are silent</translation>
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
        <translation>Usage: zorbanu [--help | --version]

Arithmetic practice for young children: each problem is read aloud in Mandarin;
type the answer and press Enter. Right-click the window to choose the range and
the operation.

Voice folder: %1
(chosen again for every reading: the current folder, then
$XDG_DATA_HOME/zorbanu/clips (by default ~/.local/share/zorbanu/clips), then the
installed pack; the first that holds every speech clip)
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
        <translation>Usage: zorbanu-recorder [--help | --version]

Record my voice: a parent records, word by word, the seventeen words a problem
is read from, and the arithmetic quiz then speaks in that voice. Six more, the
forms 一, 五, 九 and 百 take inside a number (as in 一百, 五十), make the
reading more natural and may be left out. The recordings are kept in
$XDG_DATA_HOME/zorbanu/clips (by default ~/.local/share/zorbanu/clips).
</translation>
    </message>
</context>
<context>
    <name>recorder::RecorderWindow</name>
    <message>
        <source>Record my voice</source>
        <translation>Record my voice</translation>
    </message>
    <message>
        <source>Record my voice is already open.</source>
        <translation>Record my voice is already open.</translation>
    </message>
    <message>
        <source>No speech was heard. Come closer to the microphone, press Record and say the word again. The voice has not changed.</source>
        <translation>No speech was heard. Come closer to the microphone, press Record and say the word again. The voice has not changed.</translation>
    </message>
    <message>
        <source>Too loud: the take is all noise. Move a little away from the microphone and record again. The voice has not changed.</source>
        <translation>Too loud: the take is all noise. Move a little away from the microphone and record again. The voice has not changed.</translation>
    </message>
    <message>
        <source>No microphone was found. Plug one in, then press Record.</source>
        <translation>No microphone was found. Plug one in, then press Record.</translation>
    </message>
    <message>
        <source>Press Record, say the word into the microphone, then press the button again.</source>
        <translation>Press Record, say the word into the microphone, then press the button again.</translation>
    </message>
    <message>
        <source>Record</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Play %1</source>
        <translation>Play %1</translation>
    </message>
    <message>
        <source>Within %1</source>
        <translation>Within %1</translation>
    </message>
    <message>
        <source>&amp;Range:</source>
        <translation>&amp;Range:</translation>
    </message>
    <message>
        <source>Hear a problem</source>
        <translation>Hear a problem</translation>
    </message>
    <message>
        <source>Restore the original voice</source>
        <translation>Restore the original voice</translation>
    </message>
    <message>
        <source>No microphone was found, so nothing can be recorded. Plug one in and try again.</source>
        <translation>No microphone was found, so nothing can be recorded. Plug one in and try again.</translation>
    </message>
    <message>
        <source>Recording “%1”… Press Stop when you are done; it also stops by itself after 3 seconds.</source>
        <translation>Recording “%1”… Press Stop when you are done; it also stops by itself after 3 seconds.</translation>
    </message>
    <message>
        <source>“%1” is recorded. Press Play to hear it.</source>
        <translation>“%1” is recorded. Press Play to hear it.</translation>
    </message>
    <message>
        <source>The recording could not be saved (the disk is full, or the folder cannot be written). The voice has not changed.</source>
        <translation>The recording could not be saved (the disk is full, or the folder cannot be written). The voice has not changed.</translation>
    </message>
    <message>
        <source>The microphone stopped working, so this take was not recorded. The voice has not changed.</source>
        <translation>The microphone stopped working, so this take was not recorded. The voice has not changed.</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Stop recording %1</source>
        <translation>Stop recording %1</translation>
    </message>
    <message>
        <source>Record %1</source>
        <translation>Record %1</translation>
    </message>
    <message>
        <source>Recorded</source>
        <translation>Recorded</translation>
    </message>
    <message>
        <source>Original</source>
        <translation>Original</translation>
    </message>
    <message>
        <source>Delete all your own recordings and go back to the original voice?</source>
        <translation>Delete all your own recordings and go back to the original voice?</translation>
    </message>
    <message>
        <source>The original voice is back.</source>
        <translation>The original voice is back.</translation>
    </message>
    <message>
        <source>Your recordings could not be deleted. Please try again.</source>
        <translation>Your recordings could not be deleted. Please try again.</translation>
    </message>
    <message>
        <source>The sound system is not answering, so nothing was recorded. Press Record again in a moment.</source>
        <translation>The sound system is not answering, so nothing was recorded. Press Record again in a moment.</translation>
    </message>
    <message>
        <source>%1 as in %2</source>
        <translation>%1 as in %2</translation>
    </message>
    <message>
        <source>For a more natural reading (you may leave these out):</source>
        <translation>For a more natural reading (you may leave these out):</translation>
    </message>
    <message>
        <source>Recording: say only the red word, as you say it in “%1”… Press Stop when you are done; it also stops by itself after 3 seconds.</source>
        <translation>Recording: say only the red word, as you say it in “%1”… Press Stop when you are done; it also stops by itself after 3 seconds.</translation>
    </message>
</context>
</TS>
