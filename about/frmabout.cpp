#include "frmabout.h"

#include "desktopplatform.h"
#include "sysinfo.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

namespace runetally {

namespace {

// A white box with a purple doorway and a grey shadow, its yellow lid lifted off and a green
// block above; 16 colours of the standard palette, the rest transparent.
const char* const kBoxIcon[] = {
    "32 32 10 1",
    "  c None",
    ". c #000000",
    "w c #FFFFFF",
    "p c #800080",
    "g c #808080",
    "s c #C0C0C0",
    "y c #FFFF00",
    "o c #808000",
    "G c #008000",
    "l c #00FF00",
    "                                ",
    "            ........            ",
    "            .lllllG.            ",
    "            .lGGGGG.            ",
    "            .lGGGGG.            ",
    "            .lGGGGG.            ",
    "            .GGGGGG.            ",
    "            ........            ",
    "                                ",
    "                                ",
    "   ........................     ",
    "   .yyyyyyyyyyyyyyyyyyyyyy.     ",
    "   .oooooooooooooooooooooo.     ",
    "   ........................     ",
    "                                ",
    "                                ",
    "     .....................      ",
    "     .sssssssssssssssssss.      ",
    "     .wwwwwwwwwwwwwwwwwww.ggg   ",
    "     .wwwwww.......wwwwww.ggg   ",
    "     .wwwwww.ppppp.wwwwww.ggg   ",
    "     .wwwww.ppppppp.wwwww.ggg   ",
    "     .wwwww.ppppppp.wwwww.ggg   ",
    "     .wwwww.ppppppp.wwwww.ggg   ",
    "     .wwwww.ppppppp.wwwww.ggg   ",
    "     .wwwww.ppppppp.wwwww.ggg   ",
    "     .wwwww.ppppppp.wwwww.ggg   ",
    "     .wwwww.ppppppp.wwwww.ggg   ",
    "     .....................ggg   ",
    "       gggggggggggggggggggggg   ",
    "       gggggggggggggggggggggg   ",
    "                                ",
};

const char* const kDescription =
    "add *(20-range/20) to get your area spell dmg for the mini area spells like "
    "tornado/fireball.  The Drain spells do not work correctly i think, so you will have to "
    "wait for version 2 for that one :)";

const char* const kDisclaimer = "Warning: This program does not contain viruses if downloaded "
                                "from runetally.example or zelkorfans.example";

// One line of the etched rule: a solid run of one colour filling the widget.
class RuleLine : public QWidget {
public:
    RuleLine(QWidget* parent, const QString& name, const QRect& place, QColor colour)
        : QWidget(parent), colour_(colour) {
        setObjectName(name);
        setGeometry(place);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), colour_); }

private:
    QColor colour_;
};

QLabel* MakeLabel(QWidget* parent, const QString& name, const QRect& place, bool blackText,
                  const QString& text = {}) {
    QLabel* label = CreateLabel(parent, name, place, text);
    if (blackText) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(palette);
    }
    return label;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QRect& place,
                        const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(place);
    return button;
}

} // namespace

frmAbout::frmAbout(const AppIdentity& identity, SysInfoPlatform* platform)
    : QDialog(nullptr), identity_(identity), platform_(platform) {
    setObjectName(QStringLiteral("frmAbout"));
    // A fixed dialog frame that keeps its close box, owned by no window.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(382, 237);
    setGeometry(156, 129, 382, 237);

    // Created in the dialog's own order; later widgets lie above earlier ones.
    picIcon_ = new QLabel(this);
    picIcon_->setObjectName(QStringLiteral("picIcon"));
    picIcon_->setGeometry(16, 16, 36, 36);
    picIcon_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picIcon_->setLineWidth(2);
    picIcon_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picIcon_->setPixmap(QPixmap(kBoxIcon));
    picIcon_->setFocusPolicy(Qt::StrongFocus);

    cmdOK_ =
        MakeButton(this, QStringLiteral("cmdOK"), QRect(283, 175, 84, 23), QStringLiteral("OK"));
    cmdOK_->setDefault(true);
    cmdSysInfo_ = MakeButton(this, QStringLiteral("cmdSysInfo"), QRect(284, 205, 83, 23),
                             QStringLiteral("&System Info..."));

    new RuleLine(this, QStringLiteral("Line1_1"), QRect(6, 163, 371, 1), QColor(128, 128, 128));
    lblDescription_ = MakeLabel(this, QStringLiteral("lblDescription"), QRect(70, 75, 259, 78),
                                true, QString::fromLatin1(kDescription));
    lblTitle_ = MakeLabel(this, QStringLiteral("lblTitle"), QRect(70, 16, 259, 32), true);
    new RuleLine(this, QStringLiteral("Line1_0"), QRect(7, 164, 370, 2), Qt::white);
    lblVersion_ = MakeLabel(this, QStringLiteral("lblVersion"), QRect(70, 52, 259, 15), false);
    lblDisclaimer_ = MakeLabel(this, QStringLiteral("lblDisclaimer"), QRect(17, 175, 258, 55), true,
                               QString::fromLatin1(kDisclaimer));

    setTabOrder(cmdOK_, picIcon_);
    setTabOrder(picIcon_, cmdSysInfo_);
    cmdOK_->setFocus();

    connect(cmdOK_, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo_, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("About ") + identity_.title);
    lblVersion_->setText(QStringLiteral("Version %1.%2.%3")
                             .arg(identity_.major)
                             .arg(identity_.minor)
                             .arg(identity_.revision));
    lblTitle_->setText(identity_.title);
}

void frmAbout::cmdOK_Click() {
    close();
}

void frmAbout::cmdSysInfo_Click() {
    if (platform_ != nullptr) {
        StartSysInfo(*platform_);
        return;
    }
    // A fresh platform on each press: the tool is looked for anew every time.
    DesktopPlatform desktop([](const std::string& text) {
        ShowMessage(QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())));
    });
    StartSysInfo(desktop);
}

void frmAbout::reject() {
    cmdOK_->click();
}

void frmAbout::closeEvent(QCloseEvent* event) {
    // QDialog would route the close through reject(), which presses OK and closes again.
    event->accept();
}

FormInstance<frmAbout>& AboutForm() {
    static FormInstance<frmAbout> instance;
    return instance;
}

} // namespace runetally
