#include "questionbox.h"

#include <QApplication>
#include <QPushButton>

namespace ui::qt {

void QuestionBox::ask(QWidget *over, const Window::Question &question,
                      std::function<void(bool keep)> answered)
{
    withdraw();
    auto *box = new QMessageBox(QMessageBox::Warning, QApplication::applicationDisplayName(),
                                QString::fromStdString(question.text), QMessageBox::NoButton, over);
    box->setInformativeText(QString::fromStdString(question.advice));
    QPushButton *keep =
        box->addButton(QString::fromStdString(question.keep), QMessageBox::AcceptRole);
    box->addButton(QString::fromStdString(question.stop), QMessageBox::RejectRole);
    box->setDefaultButton(keep);
    box->setEscapeButton(keep); // a stray Esc changes nothing
    box->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(box, &QMessageBox::finished, box,
                     [this, box, keep, answered = std::move(answered)] {
                         m_box = nullptr;
                         m_host.run([&] { answered(box->clickedButton() == keep); });
                     });
    m_box = box;
    box->open();
}

void QuestionBox::withdraw()
{
    if (QMessageBox *box = m_box) {
        m_box = nullptr;
        QObject::disconnect(box, &QMessageBox::finished, nullptr, nullptr);
        box->close(); // and gone
    }
}

} // namespace ui::qt
