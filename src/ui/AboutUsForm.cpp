#include "ui/AboutUsForm.h"

#include "app/AppInfo.h"
#include "app/StyleSheet.h"
#include "app/TextUtils.h"
#include "app/VendorConfig.h"
#include "ui/WinMovable.h"
#include "ui_AboutUsForm.h"

#include <QPixmap>

namespace {
constexpr int kPictureHeight = 64;
} // namespace

AboutUsForm::AboutUsForm(QWidget* parent) : QDialog(parent), m_ui(std::make_unique<Ui::AboutUsForm>())
{
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setStyleSheet(appStyleSheet());
    WinMovable::attach(this);
    m_ui->picApp->setPixmap(
        QPixmap(QStringLiteral(":main")).scaledToHeight(kPictureHeight, Qt::SmoothTransformation));
    m_ui->lbProduct->setText(QStringLiteral("%1 v%2").arg(tr("Ferrowyn"), AppInfo::version));
    m_ui->lbDetails->setText(tr("Built with Qt %1").arg(QString::fromLatin1(qVersion())));
    const QString link = homePageLink(VendorConfig::homePage());
    m_ui->lbHomePage->setText(link);
    m_ui->lbHomePage->setVisible(!link.isEmpty());
    connect(m_ui->btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

AboutUsForm::~AboutUsForm() = default;

QString AboutUsForm::homePageLink(const QString& address)
{
    if (address.isEmpty())
        return {};
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(htmlAttributeEscape(address), htmlEscape(address));
}
