// Painters of the skin images: every image is drawn from a table row.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

enum class SkinKind {
    Solid,        // plain colour
    DialogFrame,  // title band, border and title-button pieces of the small dialogs
    MainFrame,    // whole main-window picture: header band, body, border
    Button,       // rounded button; colour a = fill, b = border; glyph beside the text, or at the left without text
    Glyph,        // round icon button with a glyph drawn in colour b on fill a
    Check,        // check box square; state 0 unchecked, 1 checked, 2 disabled
    Switch,       // on/off switch; state 1 on, 0 off, 2 disabled
    NavTab,       // left navigation tile with a glyph and caption; state 1 checked
    Banner,       // picture with a title text
    ListPieces,   // strip of list header and row pieces
    EditFrame,    // edit background with a thin border
    Pointer,      // hand pointer cursor
    Icon,         // glyph in colour b filling the whole image, no background
    ComboStrip,   // four combo faces stacked 22 pixels apart: normal, disabled, open upwards, open downwards
    ComboPieces,  // the 150-pixel combo faces at y 2 (normal), 30 (disabled), 58 (hover, open upwards), 86 (open downwards)
    SectionTab,   // page tab; state 1 the current tab (open towards the page), 0 the others
    Radio,        // round option mark; state 1 chosen (accent ring and dot), 0 not (grey ring)
    SlicedFrame,  // edit frame for a border-image sliced 1 pixel in from each edge (the style sheet's border width)
};

enum class Glyph { None, Close, Minimise, Menu, Pin, Hide, Clear, Refresh, Gear, Plus, Home, Device, Network,
                   Upgrade, System, Template, Tools, Cloud, Package, Camera, Edit, Info, Globe, Import, Export,
                   Search, Recorder, Dome, Enlarge, Reduce };

struct SkinImage {
    const char* name;
    SkinKind kind;
    int width;
    int height;
    QRgb a;
    QRgb b;
    int state;
    Glyph glyph;
    const char* text;
};

QImage PaintSkinImage(const SkinImage& image);
// Every image of the skin.
const SkinImage* SkinTable(int* count);
