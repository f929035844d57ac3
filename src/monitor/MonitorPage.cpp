#include "monitor/MonitorPage.h"

#include <QWidget>

MonitorPage::MonitorPage(frmMain& main, QWidget* frame) : QObject(frame), m_main(main), m_frame(frame) {}
