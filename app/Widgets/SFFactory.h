// Factories and destroyers. A factory constructs the Qt implementation with its arguments and
// answers the facade part of it (null when allocation fails). Each factory is defined beside
// the implementation it constructs.
#pragma once

#include "Widgets/SFButton.h"
#include "Widgets/SFComboBox.h"
#include "Widgets/SFDateTimeCtrl.h"
#include "Widgets/SFDialog.h"
#include "Widgets/SFEditCtrl.h"
#include "Widgets/SFFrameWnd.h"
#include "Widgets/SFIPAddressCtrl.h"
#include "Widgets/SFImagePanel.h"
#include "Widgets/SFLayout.h"
#include "Widgets/SFListCtrl.h"
#include "Widgets/SFMenu.h"
#include "Widgets/SFNumSpiner.h"
#include "Widgets/SFPictureCtrl.h"
#include "Widgets/SFPictureEx.h"
#include "Widgets/SFPlayPanel.h"
#include "Widgets/SFScene.h"
#include "Widgets/SFScrollArea.h"
#include "Widgets/SFSliderCtrl.h"
#include "Widgets/SFStatic.h"
#include "Widgets/SFTreeCtrl.h"
#include "Widgets/SFVideoInFocus.h"
#include "Widgets/SFVideoWindow.h"
#include "Widgets/SFView.h"

// Dialog flags are replaced by the dialog's own frameless set.
CSFDialog* CreateSFDialog(ISFDialogEvent* sink, void* parent, int flags);
CSFDialog* CreateSFMainWindow(ISFDialogEvent* sink, void* parent);
CSFButton* CreateSFButton(ISFButtonEvent* sink);
CSFCheckBox* CreateSFCheckBox(ISFCheckBoxEvent* sink);
CSFRadioBox* CreateSFRadioBox(ISFRadioBoxEvent* sink);
CSFEditCtrl* CreateSFEditCtrl(ISFEditCtrlEvent* sink);
CSFComboBox* CreateSFComboBox(ISFComboBoxEvent* sink);
CSFListBox* CreateSFListBox(ISFListBoxEvent* sink);
CSFGroupBox* CreateSFGroupBox(ISFGroupBoxEvent* sink);
CSFStatic* CreateSFStatic(ISFStaticEvent* sink);
CSFStatic* CreateSFTextBrowser(ISFStaticEvent* sink);
CSFPictureCtrl* CreateSFPictureCtrl(ISFPictureCtrlEvent* sink);
CSFPictureCtrl* CreateSFPictureCtrlEx(ISFPictureCtrlEvent* sink);
CSFSliderCtrl* CreateSFSliderCtrl(ISFSliderCtrlEvent* sink);
CSFProgressCtrl* CreateSFProgressCtrl(ISFProgressCtrlEvent* sink);
CSFListCtrl* CreateSFListCtrl(ISFListCtrlEvent* sink);
CSFTreeCtrl* CreateSFTreeCtrl(ISFTreeCtrlEvent* sink);
// kind: 0 "yyyy-MM-dd", 1 "hh:mm:ss", 2 "hh:mm"
CSFDateTimeCtrl* CreateSFDateTimeCtrl(ISFDateTimeCtrlEvent* sink, int kind);
CSFIPAddressCtrl* CreateSFIPAddressCtrl(ISFIPAddressCtrlEvent* sink);
CSFScrollArea* CreateSFScrollArea(ISFScrollAreaEvent* sink);
CSFView* CreateSFView(ISFViewEvent* sink);
CSFMenu* CreateSFMenu(ISFMenuEvent* sink);
CSFPictureEx* CreateSFPictureEx(ISFPictureExEvent* sink);
CSFNumSpiner* CreateSFNumSpiner(ISFNumSpinerEvent* sink);
CSFImagePanel* CreateSFImagePanel(ISFImagePanelEvent* sink);
CSFGridLayout* CreateSFGridLayout(ISFGridLayoutEvent* sink);
CSFHBoxLayout* CreateSFHBoxLayout(ISFHBoxLayoutEvent* sink);
CSFVBoxLayout* CreateSFVBoxLayout(ISFVBoxLayoutEvent* sink);
CSFFrameWnd* CreateSFFrameWnd(ISFFrameEvent* sink);
CSFChildWnd* CreateSFChildWnd(ISFChildWndEvent* sink);
CSFVideoWindow* CreateSFVideoWindow(int mode, ISFVideoWindowEvent* sink, int rows, int columns);
CSFPlayProgressPanel* CreateSFPlayProgressPanel(IPlayProgressEvent* sink);
CSFVideoInFocus* CreateSFVideoInFocus();
CSFHorizontalScene* CreateSFHorizontalScene();
CSFVerticalScene* CreateSFVerticalScene(ISFVerticalSceneEvent* sink);
CSFVerticalSceneC* CreateSFVerticalSceneC(ISFVerticalSceneCEvent* sink);
CSFSimulationScene* CreateSFSimulationScene();

// Deletes the whole dialog or main window (null is ignored).
void DestroySFDialog(CSFDialog* dialog);
// Deletes the whole button widget (null is ignored).
void DestroySFButton(CSFButton* button);
// These do nothing: the control belongs to its Qt parent and dies with it.
void DestroySFRadioBox(CSFRadioBox* radio);
void DestroySFEditCtrl(CSFEditCtrl* edit);
void DestroySFComboBox(CSFComboBox* combo);
void DestroySFStatic(CSFStatic* text);
void DestroySFSliderCtrl(CSFSliderCtrl* slider);
void DestroySFView(CSFView* view);
