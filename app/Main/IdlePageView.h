// The view of a page whose feature is not there yet: an empty white page that shows its name,
// created hidden with the main window's widget as parent. The main window places and shows it.
#pragma once

class CSFView;
class ISFViewEvent;

CSFView* CreateIdlePageView(ISFViewEvent* sink, void* parent, const wchar_t* windowName, const wchar_t* title);
