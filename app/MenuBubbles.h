#pragma once

class CatOverlay;
class MenuView;

// Repeats the cat's open bubble (a letter, the eaten files) on the menu's main page while it
// shows, with buttons that do what the bubble's do.
void showBubblesInMenu(CatOverlay& cats, MenuView& menu);
