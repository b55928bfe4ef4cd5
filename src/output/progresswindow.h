#pragma once
// The message and progress window shown over an owner for the length of an output job, and
// closed however the job ends.

#include "services/frmMessage.h"

namespace output {

class ProgressWindow {
public:
    ProgressWindow(const QString &message, QWidget *owner) { frmMessage::instance()->ShowMsg(message, owner); }
    ~ProgressWindow() { frmMessage::closeInstance(); }
    ProgressWindow(const ProgressWindow &) = delete;
    ProgressWindow &operator=(const ProgressWindow &) = delete;

    objdb::itfProgress *sink() const { return frmMessage::instance(); }
};

} // namespace output
