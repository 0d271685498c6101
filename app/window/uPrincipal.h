#pragma once
// The installer's one window: the mode choices, the workstation connection
// pages, the "Instalar" button that runs the installation and the progress
// bar that follows each transfer.
#include <QWidget>

#include <memory>

#include "app/fetch_failure.h"
#include "app/install_choices.h"
#include "app/install_procedure.h"
#include "app/progress_view.h"
#include "app/transfer_boxes.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QTabWidget;

namespace lunaro::app {

class PackageFetcher;
class TGlowButton;

class TfrmPrincipal : public QWidget, public TransferBoxes, public ProgressView, private FetchFailureHandler {
public:
    explicit TfrmPrincipal(QWidget* parent = nullptr);
    ~TfrmPrincipal() override;

    // The choices as the controls show them now.
    InstallChoices CurrentChoices() const;

    // TransferBoxes: the hidden "Down" page.
    void SetPackageName(const std::string& name) override;
    std::string PackageName() const override;
    void SetPackageFolder(const std::string& folder) override;
    std::string PackageFolder() const override;

    // ProgressView: the bar at the bottom and the hidden status label.
    void SetProgressMaximum(int32_t maximum) override;
    void SetProgressPosition(int32_t position) override;
    void SetConnectionInfo(const std::string& text) override;
    bool StopRequested() const override { return stopRequested_; }

protected:
    // During an installation, closing asks whether to stop it.
    void closeEvent(QCloseEvent* event) override;

private:
    void CreatePictures();
    void CreateModeChoices();
    void CreateConnectionPages();
    void CreateTransferPage();
    void SetTabOrder();
    // Of the mode choices only the selected one is a Tab stop; the arrow
    // keys move between them.
    void UpdateModeTabStops();
    void ShowChoices(const InstallChoices& choices);

    void chkEstacaoClick();
    void chkSomentePDVClick();
    void btnInstalarClick();
    void DisableForInstall();
    void RunInstall(const InstallChoices& choices, InstallStart start);
    // FetchFailureHandler: the bar empties before the operator is asked, so
    // a failed transfer never leaves it looking complete.
    bool TryAgain(const FetchFailure& failure) override;

    QLabel* Image2 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* lConnectionInfo = nullptr;
    QRadioButton* chkLocal = nullptr;
    QRadioButton* chkEstacao = nullptr;
    QRadioButton* chkSomentePDV = nullptr;
    QCheckBox* chkPaf = nullptr;
    QTabWidget* pc = nullptr;
    QWidget* tsLocal = nullptr;
    QWidget* tsNuvens = nullptr;
    QWidget* TabSheet1 = nullptr;
    QLineEdit* edtServidor = nullptr;
    QLineEdit* edtCaminho = nullptr;
    QLineEdit* edtEmpresa = nullptr;
    QLineEdit* edURL = nullptr;
    QLineEdit* edFile = nullptr;
    TGlowButton* btnInstalar = nullptr;
    QProgressBar* ProgressBar1 = nullptr;

    int32_t progressMaximum_ = 100;
    bool installing_ = false;
    bool stopRequested_ = false;
    AskOperatorToRetry askRetry_;
    std::unique_ptr<PackageFetcher> fetcher_;
};

}  // namespace lunaro::app
