// The progress window of the group transfers (dialog 167): a bar and two lines of text,
// modeless, created hidden with the main window.
#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace kvd {

class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* frame);

    // Shows the window where the transfers place it: its left edge a third of the frame's
    // width in, its top a fifth of the frame's height above the frame's bottom.
    void start(int maximum);
    // Moves the bar, sets the texts (a null text keeps the line) and paints at once: the
    // transfers block the event loop between exchanges.
    void step(int value, const QString& caption, const QString& text);
    void finish();

    int value() const;
    int maximum() const;
    QString captionText() const;
    QString statusText() const;

private:
    QWidget* frame_;
    QProgressBar* bar_;
    QLabel* caption_;
    QLabel* status_;
};

} // namespace kvd
