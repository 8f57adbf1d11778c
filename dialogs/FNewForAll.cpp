#include "dialogs/FNewForAll.h"

#include "platform/ui/FormClass.h"
#include "platform/UserAnswers.h"

#include <QLineEdit>
#include <QShowEvent>
#include <QVBoxLayout>

namespace {

TNewForAll *Instance = nullptr;

// Length at which a bar-code caption accepts by itself; 0 for other captions.
int autoAcceptLength(const QString &caption)
{
    if (caption.contains(QStringLiteral("кадастровый номер/штрих-код")))
        return 19;
    if (caption.contains(QStringLiteral("штрих-код")))
        return 16;
    return 0;
}

} // namespace

TNewForAll *NewForAll()
{
    if (!Instance)
        Instance = new TNewForAll(nullptr);
    return Instance;
}

TNewForAll::TNewForAll(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("NewForAll"));
    platform::tagForm(this, "TNewForAll", "TForm");
    setFixedWidth(260);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    Edit = new QLineEdit(this);
    Edit->setObjectName(QStringLiteral("Edit"));
    platform::setFormClass(Edit, "TEdit");
    layout->addWidget(Edit);
    connect(Edit, &QLineEdit::returnPressed, this, [this] { confirm(); });
    connect(Edit, &QLineEdit::textChanged, this, [this] { textEdited(); });
}

void TNewForAll::prepareToShow()
{
    Hint.clear();
    answering_ = true;
    Edit->setFocus();
    Edit->setCursorPosition(int(Edit->text().size()));
}

void TNewForAll::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        prepareToShow();
}

bool TNewForAll::Ask(const QString &caption, QString &text)
{
    setCaption(caption);
    Edit->setText(text);
    prepareToShow();
    platform::execModal(*this);
    text = Edit->text();
    return Hint == QStringLiteral("Ok");
}

void TNewForAll::confirm()
{
    Hint = QStringLiteral("Ok");
    done(platform::mrOk);
}

void TNewForAll::reject()
{
    Hint = QStringLiteral("Cancel");
    done(platform::mrCancel);
}

void TNewForAll::done(int result)
{
    answering_ = false;
    QDialog::done(result);
}

void TNewForAll::textEdited()
{
    const int n = autoAcceptLength(windowTitle());
    // Only while the box is open: the caller's text set before showing must
    // not close it.
    if (n > 0 && answering_ && Edit->text().size() >= n)
        confirm();
}
