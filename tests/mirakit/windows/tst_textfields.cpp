#include "VirtualTime.h"
#include <mirakit/windows/SecurePlainTextField.h>

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace mira;

namespace {

// A window with a button before and a field after it, shown and active.
struct Form {
    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(button);
        layout->addWidget(field);
        window.show();
        QApplication::setActiveWindow(&window);
    }
    QWidget window;
    QPushButton *button = new QPushButton(QStringLiteral("OK"));
    SecurePlainTextField *field = new SecurePlainTextField;
};

enum class Probe { Copy, Cut, SurroundingText, Selection, AccessibleValue, AccessibleText };

QString probe(SecurePlainTextField *field, Probe kind)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(field);
    switch (kind) {
    case Probe::Copy:
    case Probe::Cut:
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        field->selectAll();
        QTest::keySequence(field, kind == Probe::Copy ? QKeySequence::Copy : QKeySequence::Cut);
        return QGuiApplication::clipboard()->text();
    case Probe::SurroundingText:
        return field->inputMethodQuery(Qt::ImSurroundingText).toString();
    case Probe::Selection:
        field->selectAll();
        return field->inputMethodQuery(Qt::ImCurrentSelection).toString();
    case Probe::AccessibleValue:
        return accessible->text(QAccessible::Value);
    case Probe::AccessibleText:
        return accessible->textInterface()->text(0, accessible->textInterface()->characterCount());
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Probe)

class TextFieldsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void noFocusWhenTheWindowOpens()
    {
        VirtualTime time;
        QWidget window;
        auto *field = new PlainTextField(&window);
        new QVBoxLayout(&window);
        window.layout()->addWidget(field);
        QSignalSpy did(field, &PlainTextField::didBecomeFirstResponder);
        window.show();
        QApplication::setActiveWindow(&window);
        time.clock.runPending();
        QVERIFY(!field->hasFocus());
        QCOMPARE(did.size(), 0);

        QVERIFY(field->becomeFirstResponder());
        time.clock.runPending();
        QVERIFY(field->hasFocus());
        QCOMPARE(did.size(), 1);
    }

    void focusHooks_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("focused");
        QTest::addColumn<int>("wills");
        QTest::addColumn<int>("dids");
        QTest::newRow("asked") << "ask" << true << 1 << 1;
        QTest::newRow("asked twice: both calls report focus") << "ask twice" << true << 2 << 2;
        QTest::newRow("clicked") << "click" << true << 1 << 1;
        QTest::newRow("tabbed into") << "tab" << true << 1 << 1;
        QTest::newRow("refused when disabled") << "disabled" << false << 1 << 0;
        QTest::newRow("refused without focus policy") << "no focus" << false << 1 << 0;
    }

    void focusHooks()
    {
        QFETCH(QString, how);
        VirtualTime time;
        Form form;
        time.clock.runPending();
        QSignalSpy will(form.field, &PlainTextField::willBecomeFirstResponder);
        QSignalSpy did(form.field, &PlainTextField::didBecomeFirstResponder);
        if (how == QLatin1String("disabled"))
            form.field->setEnabled(false);
        if (how == QLatin1String("no focus"))
            form.field->setFocusPolicy(Qt::NoFocus);
        if (how == QLatin1String("click")) {
            QTest::mouseClick(form.field, Qt::LeftButton);
        } else if (how == QLatin1String("tab")) {
            form.button->setFocus();
            QTest::keyClick(form.button, Qt::Key_Tab);
        } else {
            form.field->becomeFirstResponder();
            if (how == QLatin1String("ask twice"))
                QVERIFY(form.field->becomeFirstResponder());
        }
        time.clock.runPending();
        QFETCH(bool, focused);
        QCOMPARE(form.field->hasFocus(), focused);
        QFETCH(int, wills);
        QCOMPARE(will.size(), wills);
        QFETCH(int, dids);
        QCOMPARE(did.size(), dids);
    }

    void caretTakesItsOwnColour()
    {
        VirtualTime time;
        Form form;
        form.field->setSecureTextEntry(false);
        QPalette palette = form.field->palette();
        palette.setColor(QPalette::Text, Qt::black);
        form.field->setPalette(palette);
        form.field->setText(QStringLiteral("Hi"));
        form.field->becomeFirstResponder();
        const QRect padded = form.field->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const QPoint caret(padded.x() + 5, padded.center().y());
        QCOMPARE(form.field->grab().toImage().pixelColor(caret), QColor(Qt::black));
        form.field->setInsertionPointColor(Qt::red);
        QCOMPARE(form.field->grab().toImage().pixelColor(caret), QColor(Qt::red));
    }

    void switchingSecureModeKeepsTheEdit_data()
    {
        QTest::addColumn<bool>("toSecure");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<int>("selectionStart");
        QTest::addColumn<int>("selectionLength"); // negative: selected backwards
        QTest::newRow("show while typing") << false << 6 << -1 << 0;
        QTest::newRow("hide while typing") << true << 6 << -1 << 0;
        QTest::newRow("caret in the middle") << false << 2 << -1 << 0;
        QTest::newRow("selection forwards") << false << 0 << 1 << 3;
        QTest::newRow("selection backwards") << true << 0 << 4 << -3;
    }

    void switchingSecureModeKeepsTheEdit()
    {
        QFETCH(bool, toSecure);
        QFETCH(int, cursor);
        QFETCH(int, selectionStart);
        QFETCH(int, selectionLength);
        VirtualTime time;
        Form form;
        form.field->setSecureTextEntry(!toSecure);
        form.field->becomeFirstResponder();
        QTest::keyClicks(form.field, QStringLiteral("secret"));
        if (selectionLength)
            form.field->setSelection(selectionStart, selectionLength);
        else
            form.field->setCursorPosition(cursor);
        const int caret = form.field->cursorPosition();
        const QString selected = form.field->selectedText();
        QSignalSpy changed(form.field, &SecurePlainTextField::secureTextEntryChanged);

        form.field->setSecureTextEntry(toSecure);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(form.field->isSecureTextEntry(), toSecure);
        QCOMPARE(form.field->text(), QStringLiteral("secret"));
        QCOMPARE(form.field->displayText() == QLatin1String("secret"), !toSecure);
        QCOMPARE(form.field->cursorPosition(), caret);
        QCOMPARE(form.field->selectedText(), selected);
        QVERIFY(form.field->hasFocus());
        QTest::keyClick(form.field, Qt::Key_X);
        QCOMPARE(form.field->text().size(), 7 - selected.size());
    }

    void cellsCentreTheTextAndFollowSecureMode()
    {
        QCOMPARE(CenterTextFieldCell::centeredRect(QRectF(4, 10, 100, 30), 17), QRectF(4, 16.5, 100, 17));
        VirtualTime time;
        Form form;
        QVERIFY(dynamic_cast<CenterSecureTextFieldCell *>(form.field->cell()));
        form.field->setSecureTextEntry(false);
        QVERIFY(!dynamic_cast<CenterSecureTextFieldCell *>(form.field->cell()));
        form.field->setText(QStringLiteral("secret"));
        form.field->selectText(1, 3);
        QCOMPARE(form.field->selectedText(), QStringLiteral("ecr"));
    }

    void secureFieldHidesItsText_data()
    {
        QTest::addColumn<Probe>("probe");
        QTest::newRow("copy") << Probe::Copy;
        QTest::newRow("cut") << Probe::Cut;
        QTest::newRow("input method surrounding text") << Probe::SurroundingText;
        QTest::newRow("input method selection") << Probe::Selection;
        QTest::newRow("accessible value") << Probe::AccessibleValue;
        QTest::newRow("accessible text") << Probe::AccessibleText;
    }

    void secureFieldHidesItsText()
    {
        QFETCH(Probe, probe);
        VirtualTime time;
        Form form;
        form.field->setText(QStringLiteral("secret"));
        form.field->becomeFirstResponder();
        QVERIFY(!::probe(form.field, probe).contains(QLatin1String("secret")));
        QCOMPARE(form.field->text(), QStringLiteral("secret"));

        form.field->setSecureTextEntry(false);
        form.field->setText(QStringLiteral("secret"));
        QVERIFY(::probe(form.field, probe).contains(QLatin1String("secret")));
    }

    void accessibleAsNamedEditableText_data()
    {
        QTest::addColumn<QString>("accessibleName");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("placeholder");
        QTest::addColumn<QString>("name");
        QTest::newRow("label buddy") << ""
                                     << "&Login"
                                     << "name@example.org"
                                     << "Login";
        QTest::newRow("placeholder") << ""
                                     << ""
                                     << "name@example.org"
                                     << "name@example.org";
    }

    void accessibleAsNamedEditableText()
    {
        QFETCH(QString, label);
        QWidget window;
        auto *field = new PlainTextField(&window);
        QFETCH(QString, accessibleName);
        field->setAccessibleName(accessibleName);
        QFETCH(QString, placeholder);
        field->setPlaceholderText(placeholder);
        if (!label.isEmpty())
            (new QLabel(label, &window))->setBuddy(field);
        window.show();
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(field);
        QCOMPARE(accessible->role(), QAccessible::EditableText);
        QVERIFY(accessible->editableTextInterface());
        QFETCH(QString, name);
        QCOMPARE(accessible->text(QAccessible::Name), name);
    }

    void accessibleEditing_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("result");
        QTest::newRow("insert at the end") << 6 << 6 << false << "secret!";
        QTest::newRow("replace the middle") << 1 << 3 << false << "s!ret";
        QTest::newRow("negative start") << -1 << 2 << false << "secret";
        QTest::newRow("past the end") << 0 << 99 << false << "secret";
        QTest::newRow("read-only") << 0 << 6 << true << "secret";
    }

    void accessibleEditing()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(bool, readOnly);
        PlainTextField field;
        field.setText(QStringLiteral("secret"));
        field.setReadOnly(readOnly);
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&field);
        accessible->editableTextInterface()->replaceText(start, end, QStringLiteral("!"));
        QFETCH(QString, result);
        QCOMPARE(field.text(), result);
        QCOMPARE(accessible->textInterface()->characterRect(start).isEmpty(), start < 0 || start >= result.size());
    }
};

QTEST_MAIN(TextFieldsTest)
#include "tst_textfields.moc"
