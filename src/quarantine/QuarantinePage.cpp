#include "quarantine/QuarantinePage.h"

#include <QWidget>

QuarantinePage::QuarantinePage(frmMain& main, QWidget* frame) : QObject(frame), m_main(main), m_frame(frame) {}

void QuarantinePage::fill() {}
