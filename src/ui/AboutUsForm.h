#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class AboutUsForm;
}

// The about dialog: the program's picture, name and version, what it is built on and, when one is
// configured, a link to the product's home page.
class AboutUsForm : public QDialog
{
    Q_OBJECT

public:
    explicit AboutUsForm(QWidget* parent = nullptr);
    ~AboutUsForm() override;

    // The home-page label's rich text for an address; empty when there is none.
    static QString homePageLink(const QString& address);

private:
    std::unique_ptr<Ui::AboutUsForm> m_ui;
};
