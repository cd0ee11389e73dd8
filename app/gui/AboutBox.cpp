#include "AboutBox.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QGridLayout>
#include <QHostAddress>
#include <QLabel>
#include <QLocale>
#include <QNetworkInterface>
#include <QPushButton>
#include <QVBoxLayout>

namespace pavrin::app::gui {

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent), version_(new QLabel), address_(new QLabel), today_(new QLabel), release_(new QLabel) {
    setWindowTitle(QStringLiteral("About PAVRIN"));
    auto* layout = new QVBoxLayout(this);
    auto* product = new QLabel(QStringLiteral("PAVRIN"));
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    product->setFont(big);
    layout->addWidget(product);
    version_->setText(QStringLiteral("Version ") + QLatin1String(kVersion) + QLatin1Char(' '));
    layout->addWidget(version_);
    auto* description = new QLabel(QStringLiteral(
        "A program for analysis of load vs. settlement for an axially loaded deep foundation with t-z curve "
        "method."));
    description->setWordWrap(true);
    description->setMinimumWidth(360);
    layout->addWidget(description);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("IP Address :")), 0, 0);
    grid->addWidget(address_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Today's Date:")), 1, 0);
    grid->addWidget(today_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Current Release Date:")), 2, 0);
    grid->addWidget(release_, 2, 1);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addWidget(new QLabel(QStringLiteral("Quarlex Engineering Software\nsupport@quarlex.com")));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    Refresh();
}

void TAboutBox::Refresh() {
    const QLocale locale = QLocale::system();
    address_->setText(LocalAddress());
    today_->setText(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
    release_->setText(locale.toString(ReleaseDate(), QLocale::ShortFormat));
}

QDate TAboutBox::ReleaseDate() {
    const QStringList parts = QString::fromLatin1(kReleaseDate).split(QLatin1Char('/'));
    return QDate(2000 + parts[2].toInt(), parts[0].toInt(), parts[1].toInt());
}

QString TAboutBox::LocalAddress() {
    for (const QHostAddress& address : QNetworkInterface::allAddresses())
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            return address.toString();
    return QStringLiteral("127.0.0.1");
}

void TAboutBox::showEvent(QShowEvent* event) {
    Refresh();
    QDialog::showEvent(event);
}

} // namespace pavrin::app::gui
