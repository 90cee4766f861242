#include "app/about_box.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/maker_picture.h"
#include "common/web_opener.h"

namespace warenkai {
namespace {

QLabel* NamedLabel(const QString& text, const char* objectName, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    return label;
}

}  // namespace

QString ProgramVersion() {
    return QStringLiteral("%1.%2.%3")
        .arg(WARENKAI_VERSION_MAJOR)
        .arg(WARENKAI_VERSION_MINOR)
        .arg(WARENKAI_VERSION_PATCH);
}

QString ProgramName() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

Info::Info(WebOpener& web, QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("Info"));
    setWindowTitle(QStringLiteral("Info"));
    setModal(true);

    auto* picture = NamedLabel(QString(), "Picture", this);
    picture->setPixmap(DrawMakerPicture());
    picture->setFixedSize(kMakerPictureWidth, kMakerPictureHeight);

    auto* facts = new QGridLayout;
    facts->addWidget(new QLabel(QStringLiteral("Programm:"), this), 0, 0);
    facts->addWidget(NamedLabel(ProgramName(), "ProgramName", this), 0, 1);
    facts->addWidget(new QLabel(QStringLiteral("Version:"), this), 1, 0);
    facts->addWidget(NamedLabel(ProgramVersion(), "Version", this), 1, 1);
    facts->addWidget(new QLabel(QStringLiteral("Rechteinhaber:"), this), 2, 0);
    facts->addWidget(NamedLabel(QString::fromUtf8(kMakerName), "RightsHolder", this), 2, 1);
    facts->setColumnStretch(1, 1);
    facts->setRowStretch(3, 1);

    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* notice =
        NamedLabel(QStringLiteral("Dieses Programm ist urheberrechtlich geschützt. Die unerlaubte Vervielfältigung "
                                  "oder Verbreitung dieses Programms oder von Teilen davon wird straf- und "
                                  "zivilrechtlich verfolgt."),
                   "LegalNotice", this);
    notice->setWordWrap(true);

    const QString webAddress = QString::fromUtf8(kMakerWebAddress);
    auto* link =
        NamedLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(webAddress.toHtmlEscaped()), "WebAddress", this);
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setOpenExternalLinks(false);
    // The label's text, the maker's web address, goes to the browser as it stands.
    connect(link, &QLabel::linkActivated, this,
            [&web, webAddress](const QString&) { web.OpenWebAddress(webAddress.toStdString()); });

    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(facts, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(line);
    layout->addWidget(notice);
    layout->addSpacing(6);
    layout->addWidget(NamedLabel(QString::fromUtf8(kMakerName), "Address1", this));
    layout->addWidget(NamedLabel(QString::fromUtf8(kMakerStreet), "Address2", this));
    layout->addWidget(NamedLabel(QString::fromUtf8(kMakerTown), "Address3", this));
    layout->addWidget(link);
    auto* close = new QPushButton(QStringLiteral("Schließen"), this);
    close->setObjectName(QStringLiteral("Schliessen"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    notice->setMinimumWidth(360);
}

}  // namespace warenkai
