// The baseline the bench measures Zorbanu against: a bare Qt 6 Widgets
// window of the quiz window's size (381 x 326) with one short line of text,
// so that its first frame, like Zorbanu's, shows more than a background
// fill. No fonts of its own, no translations, no sound.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("Bare Qt window");
    window.setFixedSize(381, 326);
    QLabel label("3 + 3", &window);
    label.move(20, 20);
    window.show();
    return app.exec();
}
