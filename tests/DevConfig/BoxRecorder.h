#pragma once
// Texts of the modal message boxes shown while it lives; each box is answered with OK.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <string>
#include <vector>

#include "Widgets/SFStatic.h"

namespace devconfigtest {

class BoxRecorder {
public:
    explicit BoxRecorder(int intervalMs = 5)
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            std::wstring text;
            for (QWidget* child : dialog->findChildren<QWidget*>())
                if (auto* label = dynamic_cast<CSFStatic*>(child)) {
                    wchar_t buf[512] = {};
                    label->GetStaticText(buf, 512);
                    if (buf[0] && text.empty())
                        text = buf;
                }
            texts.push_back(text);
            dialog->done(1);
        });
        timer.start(intervalMs);
    }
    bool Has(const std::wstring& text) const { return std::find(texts.begin(), texts.end(), text) != texts.end(); }
    std::vector<std::wstring> texts;
    QTimer timer;
};

} // namespace devconfigtest
