#pragma once

class QWidget;

// Keeps a decorative widget out of the accessibility tree: its parent's accessible children
// leave it out, and should an assistive tool reach it all the same it reports itself invisible
// and without a role. Only the direct parent's list is filtered; call before the parent's
// accessible interface is first asked for.
void hideFromAccessibility(QWidget *widget);
