#include "scan/ScanPage.h"

#include <QWidget>

ScanPage::ScanPage(frmMain& main, QWidget* frame) : QObject(frame), m_main(main), m_frame(frame) {}
