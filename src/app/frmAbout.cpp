#include "app/frmAbout.h"

#include "db/Recordset.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QFrame* newLine(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

QString AboutVersionText(int major, int minor, int revision) {
    return QStringLiteral("Tomekeep %1.%2.%3").arg(major).arg(minor).arg(revision, 2, 10, QChar(u'0'));
}

QString BooksOnFileText(qint64 count) {
    return QStringLiteral("Books on file: ") + QLocale().toString(count);
}

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Tomekeep"));
    if (parent)
        setWindowIcon(parent->window()->windowIcon());

    picLogo = new QLabel(this);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setPixmap(QPixmap(QStringLiteral(":/icons/tomekeep.png"))
                           .scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    lblApp = new QLabel(this);
    lblApp->setObjectName(QStringLiteral("lblApp"));
    QFont big = lblApp->font();
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setBold(true);
    lblApp->setFont(big);
    lblPgCnt = new QLabel(this);
    lblPgCnt->setObjectName(QStringLiteral("lblPgCnt"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);

    auto* texts = new QVBoxLayout;
    texts->addWidget(lblApp);
    texts->addWidget(newLine(this));
    texts->addWidget(lblPgCnt);
    texts->addWidget(newLine(this));
    auto* body = new QHBoxLayout;
    body->addWidget(picLogo, 0, Qt::AlignTop);
    body->addSpacing(12);
    body->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addLayout(buttons);
    setMinimumWidth(340);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    Form_Load();
}

void frmAbout::Form_Load() {
    lblApp->setText(
        AboutVersionText(TOMEKEEP_VERSION_MAJOR, TOMEKEEP_VERSION_MINOR, TOMEKEEP_VERSION_REVISION));
    const auto count = QueryNumber(QStringLiteral("SELECT COUNT(*) FROM [Book]"));
    lblPgCnt->setText(count ? BooksOnFileText(*count)
                            : QStringLiteral("Books on file: ") + count.error().messageText());
}
