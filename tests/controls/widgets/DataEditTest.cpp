// The numeric entry field: exit validation with its messages, the text left and the focus returned;
// Enter and the operator-append rule; setter rules; the caption label.
#include "DataEdit.h"
#include "DecimalSeparator.h"
#include "Evaluator.h"
#include "FakeMessageBoxes.h"

#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace pavrin::controls;
using namespace pavrin::controls::testing;

namespace {

const QString kAccepted;
const QString kBelow10 = QStringLiteral("Entry must be greater than or equal to 10");
const QString kAbove500 = QStringLiteral("Entry must be less than or equal to 500");
const QString kNotInteger = QStringLiteral("Entry must be an integer.");
const QString kNotValidInteger = QStringLiteral("Entry must be a valid integer.");
const QString kInvalidCharacters =
    QStringLiteral("Entry could not be evaluated:\rinvalid character(s) in expression");

// A shown, active window with a labelled numeric field and a second field after it in the tab order.
struct Form {
    QWidget window;
    QLabel* label = new QLabel(&window);
    TDataEdit* edit = new TDataEdit(&window);
    TDataEdit* next = new TDataEdit(&window);

    Form() {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(label);
        layout->addWidget(edit);
        layout->addWidget(next);
        edit->SetEditLabel(label);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus(Qt::OtherFocusReason);
    }

    void Type(const QString& keys) {
        edit->clear();
        QTest::keyClicks(edit, keys);
    }
    void Tab() { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); }
    void Enter() { QTest::keyClick(edit, Qt::Key_Return); }
};

} // namespace

class DataEditTest : public QObject {
    Q_OBJECT

    FakeMessageBoxes boxes_;
    std::unique_ptr<ScopedMessageBoxes> scope_;

private slots:
    void init() {
        boxes_ = FakeMessageBoxes();
        scope_ = std::make_unique<ScopedMessageBoxes>(boxes_);
    }
    void cleanup() { scope_.reset(); }

    void leavingTheField_data() {
        QTest::addColumn<bool>("integerOnly");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("textAfter");

        QTest::newRow("below the minimum") << true << "5" << kBelow10 << "10";
        QTest::newRow("above the maximum") << true << "501" << kAbove500 << "500";
        QTest::newRow("fraction, integer field") << true << "12.5" << kNotInteger << "12.5";
        QTest::newRow("letters, integer field") << true << "abc" << kNotValidInteger << "abc";
        QTest::newRow("a limit is inclusive") << true << "10" << kAccepted << "10";
        QTest::newRow("expression") << true << "(2+3)*4^2" << kAccepted << "80";
        QTest::newRow("letters, real field") << false << "abc" << kInvalidCharacters << "abc";
        QTest::newRow("real above the maximum") << false << "1e3" << kAbove500 << "500";
    }

    // Leaving the field with Tab: the message, the text afterwards, and where the focus ends up.
    void leavingTheField() {
        QFETCH(bool, integerOnly);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        QFETCH(QString, textAfter);
        Form form;
        form.edit->SetIntegerOnly(integerOnly);
        form.edit->SetMinVal(10);
        form.edit->SetMaxVal(500);
        form.edit->SetNumber(50);
        QString textWhileShown;
        boxes_.onShow = [&](const FakeMessageBoxes::Shown&) { textWhileShown = form.edit->text(); };

        form.Type(typed);
        form.Tab();

        QCOMPARE(form.edit->text(), textAfter);
        QCOMPARE(form.edit->Accepted(), message.isEmpty());
        if (message.isEmpty()) {
            QVERIFY(boxes_.shown.isEmpty());
            QCOMPARE(QApplication::focusWidget(), form.next);
        } else {
            QCOMPARE(boxes_.Texts(), QStringList{message});
            QCOMPARE(boxes_.shown.front().icon, MessageBoxes::Icon::Error);
            QCOMPARE(textWhileShown, textAfter); // a limit replaces the text before the message
            QCOMPARE(QApplication::focusWidget(), form.edit);
        }
    }

    // A runtime arithmetic fault is not an accepted entry: it is reported, the typed text stays and the
    // focus returns, from Tab, Enter and Validate alike, and nothing is thrown.
    void arithmeticFaultIsReportedAndKeepsTheEntry() {
        Form form;
        form.Type(QStringLiteral("1/0"));
        form.Tab();
        QCOMPARE(boxes_.Texts(), QStringList{QStringLiteral("Division by zero")});
        QCOMPARE(form.edit->text(), QStringLiteral("1/0"));
        QCOMPARE(QApplication::focusWidget(), form.edit);
        form.Enter();
        QVERIFY(!form.edit->Validate());
        QCOMPARE(boxes_.shown.size(), 3);
        QVERIFY_THROWS_EXCEPTION(EMathError, form.edit->Number());
    }

    // A failing field takes the focus back from the field the user went to; that field is not validated
    // by the focus change, even when its own text is wrong (two such fields must not ping-pong).
    void returningTheFocusDoesNotValidateTheOtherField() {
        Form form;
        form.next->setText(QStringLiteral("junk"));
        form.Type(QStringLiteral("abc"));
        form.Tab();
        QCOMPARE(boxes_.Texts(), QStringList{kInvalidCharacters});
        QCOMPARE(QApplication::focusWidget(), form.edit);
        QCOMPARE(form.next->text(), QStringLiteral("junk"));
    }

    // Leaving the form (another child window of the workspace, or another window) is not an exit;
    // dialogs call Validate instead.
    void leavingTheFormIsNotAnExit() {
        QMdiArea area;
        auto* first = new TDataEdit;
        auto* second = new TDataEdit;
        area.addSubWindow(first)->show();
        area.addSubWindow(second)->show();
        area.show();
        area.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&area));
        first->setFocus(Qt::MouseFocusReason);
        first->setText(QStringLiteral("abc"));
        second->setFocus(Qt::MouseFocusReason);
        QCOMPARE(QApplication::focusWidget(), second);
        QVERIFY(boxes_.shown.isEmpty());

        Form form;
        form.Type(QStringLiteral("abc"));
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QVERIFY(boxes_.shown.isEmpty());

        QVERIFY(!form.edit->Validate());
        QCOMPARE(boxes_.Texts(), QStringList{kInvalidCharacters});
        form.Type(QStringLiteral("3*3"));
        QVERIFY(form.edit->Validate());
        QCOMPARE(form.edit->text(), QStringLiteral("9"));
    }

    // Enter evaluates and selects the value; an operator typed then is appended to it, anything else
    // replaces it. OnExit fires before the text is evaluated.
    void enterThenOperator() {
        Form form;
        QStringList seenOnExit;
        connect(form.edit, &TDataEdit::OnExit, this, [&] { seenOnExit << form.edit->text(); });
        form.Type(QStringLiteral("2*3"));
        form.Enter();
        QCOMPARE(seenOnExit, QStringList{QStringLiteral("2*3")});
        QCOMPARE(form.edit->text(), QStringLiteral("6"));
        QCOMPARE(form.edit->selectedText(), QStringLiteral("6"));

        QTest::keyClicks(form.edit, QStringLiteral("*2"));
        form.Enter();
        QCOMPARE(form.edit->text(), QStringLiteral("12"));
        QTest::keyClicks(form.edit, QStringLiteral("-20"));
        form.Enter();
        QCOMPARE(form.edit->text(), QStringLiteral("-8"));
        QTest::keyClicks(form.edit, QStringLiteral("7"));
        QCOMPARE(form.edit->text(), QStringLiteral("7"));
        QVERIFY(boxes_.shown.isEmpty());

        // A failed Enter reports, keeps the text and selects it.
        form.Type(QStringLiteral("2+"));
        form.Enter();
        QCOMPARE(boxes_.Texts(),
                 QStringList{QStringLiteral("Entry could not be evaluated:\rinvalid expression")});
        QCOMPARE(form.edit->selectedText(), QStringLiteral("2+"));
        QCOMPARE(QApplication::focusWidget(), form.edit);
    }

    void setterRules() {
        TDataEdit edit;
        QCOMPARE(edit.text(), QStringLiteral("0"));
        edit.SetNumber(100);
        edit.SetMaxVal(40); // lowers the number
        QCOMPARE(edit.text(), QStringLiteral("40"));
        edit.SetMinVal(50); // above the maximum: the maximum is stored
        QCOMPARE(edit.MinVal(), 40.0L);
        edit.SetMaxVal(30); // below the minimum: raised to it
        QCOMPARE(edit.MaxVal(), 40.0L);

        TDataEdit integral;
        integral.SetIntegerOnly(true);
        QCOMPARE(integral.MaxVal(), 2147483647.0L);
        QCOMPARE(integral.MinVal(), -2147483648.0L);

        // While loading, limits and number are stored as they come.
        TDataEdit loaded;
        loaded.SetLoading(true);
        loaded.SetNumber(1e-5L);
        loaded.SetMaxVal(1e-9L);
        loaded.SetMinVal(1.0L);
        loaded.SetLoading(false);
        QCOMPARE(loaded.text(), QStringLiteral("0.00001"));
        QCOMPARE(loaded.MaxVal(), 1e-9L);

        // A text that does not evaluate is left alone by the limit setters, and they do not throw.
        TDataEdit typed;
        typed.setText(QStringLiteral("abc"));
        typed.SetMaxVal(5);
        typed.SetMinVal(1);
        QCOMPARE(typed.text(), QStringLiteral("abc"));
    }

    void hexFormatting() {
        QCOMPARE(TDataEdit::FormatNumber(true, 65536), QStringLiteral("$10000"));
        QCOMPARE(TDataEdit::FormatNumber(true, 2.5L), QStringLiteral("$0002")); // half to even
        // A negative value reads back to itself.
        QCOMPARE(TDataEdit::FormatNumber(true, -2), QStringLiteral("$FFFFFFFE"));
        QCOMPARE(Evaluate("$FFFFFFFE"), -2.0L);

        Form form;
        form.edit->SetHex(true);
        QCOMPARE(form.edit->text(), QStringLiteral("0")); // applies from the next formatting
        form.Type(QStringLiteral("$ff"));
        form.Enter();
        QCOMPARE(form.edit->text(), QStringLiteral("$00FF"));
    }

    void decimalSeparator() {
        const DecimalSeparatorScope comma(',');
        Form form;
        form.edit->SetMinVal(0.5L);
        form.Type(QStringLiteral("1,5*3"));
        form.Enter();
        QCOMPARE(form.edit->text(), QStringLiteral("4,5"));
        form.Type(QStringLiteral("0,25"));
        form.Tab();
        QCOMPARE(boxes_.Texts(), QStringList{QStringLiteral("Entry must be greater than or equal to 0,5")});
        QCOMPARE(form.edit->text(), QStringLiteral("0,5"));
    }

    void label_data() {
        QTest::addColumn<QString>("units");
        QTest::addColumn<int>("system");
        QTest::addColumn<QString>("caption");

        QTest::newRow("length, English") << "L" << 1 << "Pile Length (in)";
        QTest::newRow("length, SI") << "L" << 2 << "Pile Length (m)";
        QTest::newRow("pressure, SI") << "F/L^2" << 2 << "Pile Length (kN/m^2)";
        QTest::newRow("area, SI") << QStringLiteral("L²") << 2 << QStringLiteral("Pile Length (m²)");
        QTest::newRow("no units system") << "F/L^2" << 3 << "Pile Length (F/L^2)";
        QTest::newRow("system above 3 is none") << "L" << 7 << "Pile Length (L)";
        QTest::newRow("no template") << "" << 2 << "Pile Length";
    }

    void label() {
        QFETCH(QString, units);
        QFETCH(int, system);
        QFETCH(QString, caption);
        QLabel label;
        TDataEdit edit;
        edit.SetUnits(system);
        edit.SetEditLabel(&label);
        edit.SetCaption(QStringLiteral("Pile Length"));
        edit.SetUnitsString(units);
        QCOMPARE(label.text(), caption);
        QCOMPARE(label.buddy(), &edit);
    }

    void labelFollowsTheEnabledState() {
        QWidget parent;
        auto* label = new QLabel(&parent);
        auto* edit = new TDataEdit(&parent);
        edit->SetEditLabel(label);
        edit->setEnabled(false);
        QVERIFY(!label->isEnabled());
        edit->setEnabled(true);
        QVERIFY(label->isEnabled());

        delete label; // the edit outlives its label
        edit->SetCaption(QStringLiteral("Pile Length"));
        QCOMPARE(edit->EditLabel(), nullptr);
    }
};

QTEST_MAIN(DataEditTest)
#include "DataEditTest.moc"
