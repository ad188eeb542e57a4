#pragma once

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

// Every tool-bar button and menu item of the main window, named as the window's handlers
// know them. Tool buttons show their hint as tool tip; several items share a handler with a
// tool button but keep their own enabled and visible state.
struct MainFormActions {
    // Tool bar ToolBar1.
    QToolBar* ToolBar1;
    QAction* tbConnect;
    QAction* tbResetAll;
    QAction* tbClearBuffer;
    QAction* tbClearList;
    QAction* tbList1000;
    QAction* tbSaveBuffer;
    QAction* tbTransmit;
    QAction* tbDisplayMonitor;
    QAction* bStopTx;  // the "Stop Transmission" button in the tool bar, hidden at start

    // File
    QAction* SaveConfiguration1;
    QAction* LoadConfiguration1;
    QAction* OpenLog1;  // "Open Log...", Ctrl+O: a saved log into the frame store
    QAction* AutoDetect1;
    QAction* Exit1;  // "Setup Com Port"
    QAction* Connect1;
    QAction* Disconnect1;
    QAction* Exit2;
    // CAN
    QAction* TransmitFrame1;
    QAction* ResetLog1;
    // Log
    QAction* ShowFirst1000messages1;
    QAction* ShowMessageRange1;
    QAction* FramesByIdentifier1;
    QAction* DisplayDynamically1;
    QAction* SaveMessageLog1;
    // Test (Debug Only)
    QMenu* MenuTest1;
    QAction* DebugTest1;
    QAction* Rx100IdenticalTestMessages1;
    QAction* Receive100randommessages1;
    // Help
    QAction* Manual1;
    QAction* About1;
};

// Builds the tool bar and the main menu of `window` with their captions, hints, icons and
// accelerators; connects nothing.
MainFormActions CreateMainFormActions(QMainWindow& window);
