// TAboutBox, "About PAVRIN": product, version, description, the computer's network address, today's
// date and the release date, in the desktop's short date format.
#pragma once

#include <QDate>
#include <QDialog>

class QLabel;

namespace pavrin::app::gui {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kVersion = "2014.3.1";
    // The release date as month/day/two-digit year.
    static constexpr const char* kReleaseDate = "08/01/14";

    explicit TAboutBox(QWidget* parent = nullptr);

    // Refreshes the date and the address; called before every showing.
    void Refresh();
    // The release date read from kReleaseDate (month, day, 2000 + year).
    static QDate ReleaseDate();
    // The first non-loopback IPv4 address, else "127.0.0.1".
    static QString LocalAddress();

    QLabel* VersionLabel() const { return version_; }
    QLabel* TodayLabel() const { return today_; }
    QLabel* ReleaseLabel() const { return release_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* version_;
    QLabel* address_;
    QLabel* today_;
    QLabel* release_;
};

} // namespace pavrin::app::gui
