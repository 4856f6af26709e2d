// A skinned dialog with a button, a check box, a radio box and a label, grabbed offscreen to a
// PNG file: the file is not blank and shows the skin's colours where the skin puts them.
#include <gtest/gtest.h>

#include <set>

#include <QDir>
#include <QImage>

#include "WidgetTestSupport.h"
#include "Widgets/CMsgDlgEventImp.h"
#include "Widgets/CSFQTDialog.h"
#include "Widgets/SFWidgets.h"

namespace {
class ShotPage : public ISFDialogEvent {
public:
    int Dlg_OnInitDialog(bool create) override
    {
        if (!create)
            return 1;
        void* wnd = GetUIWnd();
        button = CreateSFButton(nullptr);
        ImageButtonStyle b;
        b.strNormal = L"btn_nor.png";
        b.strHover = L"btn_over.png";
        b.strPressed = L"btn_down.png";
        b.strDisabled = L"btn_dis.png";
        button->SetSkin(&b);
        button->Create(L"Apply", WS_VISIBLE, RECT{300, 250, 380, 278}, wnd, 1);

        check = CreateSFCheckBox(nullptr);
        ImageCheckBox c;
        c.strCheckedNormal = c.strCheckedHover = c.strCheckedPressed = L"Select_Check.png";
        c.strUncheckedNormal = c.strUncheckedHover = c.strUncheckedPressed = L"Select_unCheck.png";
        c.strCheckedDisabled = c.strUncheckedDisabled = L"Select_Unable.png";
        check->SetSkin(&c);
        check->Create("", WS_VISIBLE, RECT{20, 100, 36, 116}, wnd, 2);
        check->SetCheck(1);

        radio = CreateSFRadioBox(nullptr);
        ImageRadioBox r;
        r.strCheckedNormal = r.strCheckedHover = r.strCheckedPressed = L"Select_Check.png";
        r.strUncheckedNormal = r.strUncheckedHover = r.strUncheckedPressed = L"Select_unCheck.png";
        r.strCheckedDisabled = r.strUncheckedDisabled = L"Select_Unable.png";
        radio->SetSkin(&r);
        radio->Create(L"Remember the password", WS_VISIBLE, RECT{20, 140, 220, 166}, wnd, 3);
        radio->SetTextOffset(6);
        radio->SetTextAlign(0);
        radio->SetTextColor(0x302418);

        label = CreateSFStatic(nullptr);
        label->SetTextColor(0x302418);
        label->Create(L"Device name:", WS_VISIBLE, RECT{20, 50, 220, 80}, wnd, 4);
        return 1;
    }
    CSFButton* button = nullptr;
    CSFCheckBox* check = nullptr;
    CSFRadioBox* radio = nullptr;
    CSFStatic* label = nullptr;
};
}  // namespace

TEST(Screenshot, SkinnedDialogShowsTheSkin)
{
    UseBuildSkin();
    ShotPage page;
    CSFDialog* dialog = CreateSFDialog(&page, nullptr, 0);
    DialogStyle style;
    BuildMsgDlgSkin(style);
    style.strDlgSize = L"400,300";
    style.strClosePos = L"-30,2,24,24";
    style.strCloseNormalImage = L"close-normal.png";
    style.strCloseHoverImage = L"close-hover.png";
    style.strClosePressedImage = L"close-pressed.png";
    dialog->SetSkin(&style);
    dialog->Create(L"Device settings", nullptr);
    dialog->ShowWindow(1);
    auto* wnd = static_cast<CSFQTDialog*>(dialog);

    const QString file = QDir::temp().filePath(QStringLiteral("widgets_skinned_dialog.png"));
    ASSERT_TRUE(wnd->grab().save(file, "PNG"));
    const QImage shot(file);
    ASSERT_EQ(shot.size(), QSize(400, 300));

    std::set<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 3)
        for (int x = 0; x < shot.width(); x += 3)
            colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 10u) << "blank screenshot";

    const QColor band(0x2D, 0x88, 0xEF), body(Qt::white), border(0xC9, 0xCE, 0xD6), button(0xF5, 0xF8, 0xFC);
    struct Probe {
        QPoint at;
        QColor colour;
        const char* what;
    } probes[] = {
        {{200, 12}, band, "title band"},
        {{200, 200}, body, "background image"},
        {{0, 200}, border, "left frame edge"},
        {{399, 200}, border, "right frame edge"},
        {{200, 299}, border, "bottom frame edge"},
        {{306, 254}, button, "button face"},
        {{22, 110}, band, "checked check box"},
        {{22, 155}, body, "unchecked radio box"},
    };
    for (const Probe& p : probes)
        EXPECT_TRUE(SameColour(shot.pixelColor(p.at), p.colour))
            << p.what << " at " << p.at.x() << "," << p.at.y() << " is " << shot.pixelColor(p.at).name().toStdString();

    // Text was drawn: dark pixels inside the label, the radio caption and the title.
    auto hasDark = [&](const QRect& area, int maxLightness) {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (shot.pixelColor(x, y).lightness() < maxLightness)
                    return true;
        return false;
    };
    EXPECT_TRUE(hasDark(QRect(20, 50, 120, 30), 100)) << "label text";
    EXPECT_TRUE(hasDark(QRect(44, 140, 150, 26), 100)) << "radio caption";
    // The close button sits 30 pixels from the right edge, drawn from its own images.
    EXPECT_FALSE(SameColour(shot.pixelColor(382, 14), band));
    DestroySFDialog(dialog);
}
