#include "app/main_form_actions.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int kToolBarHeight = 29;

QAction* Item(QMenu* menu, const char* name, const char* caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    return action;
}

// A tool button with an icon of the desktop's theme, or one that Qt carries when the theme
// has none, so no button is ever empty.
QAction* Button(QToolBar* bar, const char* name, const char* hint, const char* themeIcon,
                QStyle::StandardPixmap fallback) {
    // Qt's own icon is read from its files when asked for, so only when the theme has none.
    const QIcon icon = QIcon::hasThemeIcon(themeIcon) ? QIcon::fromTheme(themeIcon)
                                                      : bar->style()->standardIcon(fallback);
    QAction* action = bar->addAction(icon, hint);
    action->setObjectName(name);
    action->setToolTip(hint);
    return action;
}

QAction* StopTransmissionButton(QToolBar* bar) {
    auto* button = new QPushButton("Stop Transmission");
    button->setObjectName("bStopTx");
    button->setStyleSheet("color: red; font-weight: bold;");
    QAction* action = bar->addWidget(button);
    action->setObjectName("bStopTxAction");
    action->setVisible(false);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    return action;
}

}  // namespace

MainFormActions CreateMainFormActions(QMainWindow& window) {
    MainFormActions a{};
    a.ToolBar1 = window.addToolBar("ToolBar1");
    QToolBar* bar = a.ToolBar1;
    bar->setObjectName("ToolBar1");
    bar->setFixedHeight(kToolBarHeight);
    bar->setMovable(false);
    a.tbConnect = Button(bar, "tbConnect", "Disconnect", "network-wired", QStyle::SP_DriveNetIcon);
    a.tbResetAll = Button(bar, "tbResetAll", "Reset Ostrel Hardware and logs", "view-refresh",
                          QStyle::SP_BrowserReload);
    a.tbClearBuffer =
        Button(bar, "tbClearBuffer", "Reset CAN Log", "edit-delete", QStyle::SP_TrashIcon);
    a.tbClearList = Button(bar, "tbClearList", "Clear Message List", "edit-clear",
                           QStyle::SP_DialogResetButton);
    a.tbList1000 = Button(bar, "tbList1000", "Show CAN Buffer", "format-justify-left",
                          QStyle::SP_FileDialogDetailedView);
    a.tbSaveBuffer = Button(bar, "tbSaveBuffer", "Save CAN Buffer", "document-save",
                            QStyle::SP_DialogSaveButton);
    bar->addSeparator()->setObjectName("ToolButton2");
    a.tbTransmit =
        Button(bar, "tbTransmit", "Transmit CAN Frame", "mail-send", QStyle::SP_ArrowRight);
    a.tbDisplayMonitor = Button(bar, "tbDisplayMonitor", "Enable/Disable Ostrel LCD",
                                "video-display", QStyle::SP_ComputerIcon);
    a.tbDisplayMonitor->setCheckable(true);
    a.tbDisplayMonitor->setChecked(true);
    // A tool button passes a click on to its action, but not a state changed without a click.
    QObject::connect(qobject_cast<QToolButton*>(bar->widgetForAction(a.tbDisplayMonitor)),
                     &QToolButton::toggled, a.tbDisplayMonitor, &QAction::setChecked);
    a.bStopTx = StopTransmissionButton(bar);

    QMenuBar* menus = window.menuBar();
    menus->setObjectName("MainMenu1");
    QMenu* file = menus->addMenu("&File");
    file->setObjectName("File1");
    a.SaveConfiguration1 = Item(file, "SaveConfiguration1", "&Save Configuration");
    a.LoadConfiguration1 = Item(file, "LoadConfiguration1", "L&oad Configuration");
    file->addSeparator()->setObjectName("N3");
    a.OpenLog1 = Item(file, "OpenLog1", "Open &Log...");
    a.OpenLog1->setShortcut(QKeySequence::Open);
    file->addSeparator()->setObjectName("NOpenLog");
    a.AutoDetect1 = Item(file, "AutoDetect1", "&Auto Detect");
    a.Exit1 = Item(file, "Exit1", "&Setup Com Port");
    a.Connect1 = Item(file, "Connect1", "&Connect");
    a.Disconnect1 = Item(file, "Disconnect1", "&Disconnect");
    file->addSeparator()->setObjectName("N1");
    a.Exit2 = Item(file, "Exit2", "E&xit");

    QMenu* can = menus->addMenu("&CAN");
    can->setObjectName("Logging1");
    a.TransmitFrame1 = Item(can, "TransmitFrame1", "Transmit &Frame");
    can->addSeparator()->setObjectName("N2");
    a.ResetLog1 = Item(can, "ResetLog1", "&Reset Log");

    QMenu* log = menus->addMenu("Log");
    log->setObjectName("CAN1");
    a.ShowFirst1000messages1 = Item(log, "ShowFirst1000messages1", "Show First &1000 messages");
    a.ShowMessageRange1 = Item(log, "ShowMessageRange1", "Show &Message Range");
    a.FramesByIdentifier1 = Item(log, "FramesByIdentifier1", "Frames by &Identifier");
    a.DisplayDynamically1 = Item(log, "DisplayDynamically1", "Display Dynamically");
    a.DisplayDynamically1->setCheckable(true);
    a.DisplayDynamically1->setChecked(true);
    a.SaveMessageLog1 = Item(log, "SaveMessageLog1", "Save Message Log");

    a.MenuTest1 = menus->addMenu("&Test (Debug Only)");
    a.MenuTest1->setObjectName("MenuTest1");
    a.DebugTest1 = Item(a.MenuTest1, "DebugTest1", "DebugTest");
    a.Rx100IdenticalTestMessages1 =
        Item(a.MenuTest1, "Rx100IdenticalTestMessages1", "Receive 100 Identical Test Messages");
    a.Receive100randommessages1 =
        Item(a.MenuTest1, "Receive100randommessages1", "Receive 100 random messages");

    QMenu* help = menus->addMenu("Help");
    help->setObjectName("hrlp1");
    a.Manual1 = Item(help, "Manual1", "&Manual");
    help->addSeparator()->setObjectName("N6");
    a.About1 = Item(help, "About1", "&About");
    return a;
}
