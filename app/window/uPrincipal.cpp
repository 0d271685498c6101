#include "app/window/uPrincipal.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>

#include <algorithm>
#include <exception>
#include <limits>

#include "app/download_server.h"
#include "app/install_checks.h"
#include "app/install_interrupted.h"
#include "app/install_procedure.h"
#include "app/installer_message.h"
#include "app/package_fetcher.h"
#include "app/window/fonts.h"
#include "app/window/glow_button.h"
#include "app/window/pictures.h"
#include "platform/ui_service.h"

namespace lunaro::app {

namespace {

constexpr int kClientWidth = 618;
constexpr int kClientHeight = 447;
constexpr int kChoiceFontPixels = 17;

template <typename Widget>
Widget* Named(Widget* widget, const char* name, const QRect& geometry) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

QLabel* Caption(QWidget* page, const char* name, const QString& text, int top) {
    return Named(new QLabel(text, page), name, QRect(8, top, 320, 14));
}

constexpr const char* kStopQuestion = "Deseja interromper a instalação?";

bool AnsweredYes(const std::string& question) {
    platform::MessageBoxRequest request;
    request.caption = platform::ApplicationTitle();
    request.text = question;
    request.icon = platform::MessageIcon::Question;
    request.buttons = {platform::mrYes, platform::mrNo};
    request.defaultButton = platform::mrNo;
    return platform::Ui().MessageBox(request) == platform::mrYes;
}

// The byte counts of the last reports may fall short of the announced size
// (the final block is not always reported); a package that arrived is
// shown complete.
class FullBarWhenFetched : public PackageSource {
public:
    FullBarWhenFetched(PackageSource& inner, ProgressView& view) : inner_(inner), view_(view) {}
    bool BaixarArquivo(const std::string& folder, const std::string& name) override {
        if (!inner_.BaixarArquivo(folder, name)) return false;
        view_.SetProgressPosition(std::numeric_limits<int32_t>::max());
        return true;
    }

private:
    PackageSource& inner_;
    ProgressView& view_;
};

QLineEdit* Edit(QWidget* page, const char* name, int top, int maxLength) {
    QLineEdit* edit = Named(new QLineEdit(page), name, QRect(8, top, 328, 21));
    edit->setMaxLength(maxLength);
    return edit;
}

}  // namespace

TfrmPrincipal::TfrmPrincipal(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmPrincipal"));
    setWindowTitle(QStringLiteral("LunaroSoft - Instalação"));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(TahomaFont(11));
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    setAutoFillBackground(true);

    CreatePictures();
    CreateModeChoices();
    CreateConnectionPages();
    CreateTransferPage();
    btnInstalar = Named(new TGlowButton(QStringLiteral("Instalar"), this), "btnInstalar", QRect(259, 374, 351, 41));
    btnInstalar->setAutoDefault(true);  // Enter presses it when it has the focus
    ProgressBar1 = Named(new QProgressBar(this), "ProgressBar1", QRect(0, kClientHeight - 20, kClientWidth, 20));
    ProgressBar1->setRange(0, progressMaximum_);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    SetTabOrder();

    for (QRadioButton* mode : {chkLocal, chkEstacao, chkSomentePDV})
        connect(mode, &QRadioButton::toggled, this, [this] { UpdateModeTabStops(); });
    UpdateModeTabStops();
    chkLocal->setFocus();
    connect(chkEstacao, &QRadioButton::toggled, this, [this](bool on) { if (on) chkEstacaoClick(); });
    connect(chkLocal, &QRadioButton::toggled, this, [this](bool on) { if (on) chkEstacaoClick(); });
    connect(chkSomentePDV, &QRadioButton::toggled, this, [this](bool on) { if (on) chkSomentePDVClick(); });
    connect(btnInstalar, &QPushButton::clicked, this, [this] { btnInstalarClick(); });

    fetcher_ = std::make_unique<PackageFetcher>(*this, *this, static_cast<FetchFailureHandler&>(*this), DownloadServerBaseUrl());

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmPrincipal::~TfrmPrincipal() = default;

void TfrmPrincipal::CreatePictures() {
    Image2 = Named(new QLabel(this), "Image2", QRect(8, 8, 600, 134));
    Image2->setPixmap(DrawBanner());
    Image1 = Named(new QLabel(this), "Image1", QRect(13, 144, 225, 225));
    Image1->setPixmap(DrawLogo());
    lConnectionInfo = Named(new QLabel(QStringLiteral("Connection Info"), this), "lConnectionInfo",
                            QRect(530, 140, 80, 13));
    lConnectionInfo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lConnectionInfo->setVisible(false);
}

void TfrmPrincipal::CreateModeChoices() {
    chkLocal = Named(new QRadioButton(QStringLiteral("Instalação Completa com Banco de Dados"), this), "chkLocal",
                     QRect(259, 153, 351, 22));
    chkEstacao = Named(new QRadioButton(QStringLiteral("Instalação de Estação Sem Banco de Dados"), this),
                       "chkEstacao", QRect(259, 177, 351, 22));
    chkSomentePDV = Named(new QRadioButton(QStringLiteral("Somente Instalar o PDV"), this), "chkSomentePDV",
                          QRect(259, 200, 351, 22));
    chkPaf = Named(new QCheckBox(QStringLiteral("Instalação do PDV - PAF"), this), "chkPaf",
                   QRect(259, 225, 350, 22));
    for (QWidget* choice : std::initializer_list<QWidget*>{chkLocal, chkEstacao, chkSomentePDV, chkPaf})
        choice->setFont(TahomaFont(kChoiceFontPixels));
    chkLocal->setChecked(true);
    chkPaf->setChecked(true);
}

void TfrmPrincipal::CreateConnectionPages() {
    pc = Named(new QTabWidget(this), "pc", QRect(259, 256, 351, 112));
    tsLocal = new QWidget;
    tsLocal->setObjectName(QStringLiteral("tsLocal"));
    Caption(tsLocal, "Label4", QStringLiteral("Servidor"), 4);
    edtServidor = Edit(tsLocal, "edtServidor", 18, 100);
    Caption(tsLocal, "Label1", QStringLiteral("Caminho"), 42);
    edtCaminho = Edit(tsLocal, "edtCaminho", 56, 200);
    pc->addTab(tsLocal, QStringLiteral("Rede"));

    tsNuvens = new QWidget;
    tsNuvens->setObjectName(QStringLiteral("tsNuvens"));
    Caption(tsNuvens, "Label2", QStringLiteral("Alias da Empresa"), 4);
    edtEmpresa = Edit(tsNuvens, "edtEmpresa", 18, 100);
    // Letters are kept in upper case as they are typed.
    connect(edtEmpresa, &QLineEdit::textEdited, this, [this](const QString& text) {
        const QString upper = text.toUpper();
        if (upper == text) return;
        const int cursor = edtEmpresa->cursorPosition();
        edtEmpresa->setText(upper.left(edtEmpresa->maxLength()));
        edtEmpresa->setCursorPosition(cursor);
    });
    pc->addTab(tsNuvens, QStringLiteral("Nuvens"));
    pc->setCurrentWidget(tsLocal);
    pc->setVisible(false);
}

void TfrmPrincipal::CreateTransferPage() {
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    Caption(TabSheet1, "Label11", QStringLiteral("Nome Arquivo a baixar"), 4);
    edURL = Edit(TabSheet1, "edURL", 18, 32767);
    Caption(TabSheet1, "lFile", QStringLiteral("Pasta Detino"), 42);
    edFile = Edit(TabSheet1, "edFile", 56, 32767);
    edURL->setEnabled(false);
    edFile->setEnabled(false);
    const int index = pc->addTab(TabSheet1, QStringLiteral("Down"));
    pc->setTabVisible(index, false);
    // Ctrl+Tab skips a disabled page; its boxes are disabled anyway.
    pc->setTabEnabled(index, false);
}

void TfrmPrincipal::SetTabOrder() {
    // The progress bar has its place in the designed order but is no tab
    // stop; the chain is made of the controls that take focus.
    QWidget* previous = nullptr;
    for (QWidget* control : std::initializer_list<QWidget*>{pc, chkEstacao, chkLocal, ProgressBar1, btnInstalar,
                                                            chkPaf, chkSomentePDV}) {
        if (!(control->focusPolicy() & Qt::TabFocus)) continue;
        if (previous) setTabOrder(previous, control);
        previous = control;
    }
}

void TfrmPrincipal::UpdateModeTabStops() {
    for (QRadioButton* mode : {chkLocal, chkEstacao, chkSomentePDV})
        mode->setFocusPolicy(mode->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

void TfrmPrincipal::ShowChoices(const InstallChoices& choices) {
    (choices.mode == InstallMode::Full ? chkLocal : chkEstacao)->setChecked(true);
    chkPaf->setChecked(choices.paf);
    pc->setCurrentWidget(choices.page == ConnectionPage::Network ? tsLocal : tsNuvens);
    edtServidor->setText(QString::fromStdString(choices.server));
    edtCaminho->setText(QString::fromStdString(choices.databasePath));
    edtEmpresa->setText(QString::fromStdString(choices.companyAlias));
}

InstallChoices TfrmPrincipal::CurrentChoices() const {
    InstallChoices choices;
    choices.mode = chkSomentePDV->isChecked() ? InstallMode::PointOfSaleOnly
                   : chkLocal->isChecked()    ? InstallMode::Full
                                              : InstallMode::Workstation;
    choices.paf = chkPaf->isChecked();
    choices.page = pc->currentWidget() == tsLocal ? ConnectionPage::Network : ConnectionPage::Cloud;
    choices.server = edtServidor->text().toStdString();
    choices.databasePath = edtCaminho->text().toStdString();
    choices.companyAlias = edtEmpresa->text().toStdString();
    return choices;
}

void TfrmPrincipal::chkEstacaoClick() { pc->setVisible(chkEstacao->isChecked()); }

void TfrmPrincipal::chkSomentePDVClick() {
    if (!chkSomentePDV->isChecked()) return;
    pc->setVisible(false);
    chkPaf->setChecked(true);
}

void TfrmPrincipal::btnInstalarClick() {
    // The point-of-sale mode leaves the button enabled, so a click can arrive
    // while a transfer lets events through; one installation at a time.
    if (installing_) return;
    const InstallChoices choices = CurrentChoices();
    if (const auto refusal = CheckInstall(choices)) {
        if (refusal->interrupted) {
            if (!AnsweredYes(refusal->message)) return;
            // It goes on as it was started; the controls show how.
            ShowChoices(*refusal->interrupted);
            DisableForInstall();
            RunInstall(*refusal->interrupted, InstallStart::Continuing);
            return;
        }
        ShowInstallerMessage(refusal->message);
        if (refusal->focus == FocusTarget::Server) edtServidor->setFocus();
        if (refusal->focus == FocusTarget::CompanyAlias) edtEmpresa->setFocus();
        return;
    }
    if (choices.mode != InstallMode::PointOfSaleOnly) DisableForInstall();
    RunInstall(choices, InstallStart::Fresh);
}

void TfrmPrincipal::DisableForInstall() {
    for (QWidget* control : std::initializer_list<QWidget*>{btnInstalar, chkEstacao, chkLocal, pc, chkPaf})
        control->setEnabled(false);
}

void TfrmPrincipal::RunInstall(const InstallChoices& choices, InstallStart start) {
    installing_ = true;
    setCursor(Qt::WaitCursor);
    InstallOutcome outcome = InstallOutcome::Stopped;
    try {
        FullBarWhenFetched packages(*fetcher_, *this);
        outcome = RunInstallProcedure(choices, packages, start);
    } catch (const EInstallInterrupted&) {
        // The operator closed the window and said so: no further word.
        installing_ = false;
        close();
        return;
    } catch (const std::exception& error) {
        // Nothing is undone; the window stays as it is for the operator to see.
        installing_ = false;
        unsetCursor();
        SetProgressPosition(0);
        ShowInstallerError(error.what());
        return;
    }
    installing_ = false;
    if (outcome == InstallOutcome::Stopped) {
        SetProgressPosition(0);
        ShowInstallerMessage(InstallStoppedText(PackageName()));
    }
    close();
}

bool TfrmPrincipal::TryAgain(const FetchFailure& failure) {
    SetProgressPosition(0);
    return askRetry_.TryAgain(failure);
}

void TfrmPrincipal::closeEvent(QCloseEvent* event) {
    if (!installing_) {
        event->accept();
        return;
    }
    // The transfer waits while the question is open; Sim ends it as soon
    // as the pending events are handled (StopRequested).
    event->ignore();
    if (!stopRequested_ && AnsweredYes(kStopQuestion)) stopRequested_ = true;
}

void TfrmPrincipal::SetPackageName(const std::string& name) { edURL->setText(QString::fromStdString(name)); }
std::string TfrmPrincipal::PackageName() const { return edURL->text().toStdString(); }
void TfrmPrincipal::SetPackageFolder(const std::string& folder) { edFile->setText(QString::fromStdString(folder)); }
std::string TfrmPrincipal::PackageFolder() const { return edFile->text().toStdString(); }

void TfrmPrincipal::SetProgressMaximum(int32_t maximum) {
    // A bar without room would turn into a busy indicator; an empty range
    // shows as an empty bar instead.
    progressMaximum_ = std::max(maximum, 0);
    ProgressBar1->setMaximum(std::max(progressMaximum_, 1));
    ProgressBar1->setValue(std::min(ProgressBar1->value(), progressMaximum_));
}

void TfrmPrincipal::SetProgressPosition(int32_t position) {
    ProgressBar1->setValue(std::clamp(position, 0, progressMaximum_));
}

void TfrmPrincipal::SetConnectionInfo(const std::string& text) {
    lConnectionInfo->setText(QString::fromStdString(text));
}

}  // namespace lunaro::app
