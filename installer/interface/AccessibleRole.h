#pragma once

class QWidget;

/// What assistive technology is told a widget is, where its class says otherwise.
enum class AccessibleRole {
    heading, ///< a page's title: a label read as a heading
    link, ///< a button that opens a page (in the browser): read as a link, pressed by its action
    decoration, ///< a picture, divider or indicator that only decorates: left out of what is read
    frame, ///< the application's main window: read as a frame named by its title
};

/**
 * Makes assistive technology present @p widget as @p role from now on. The
 * widget keeps its own name and description (a heading without a name is
 * named by its label's text, a link by its button's text); a decoration is
 * reported as neither visible nor showing, which screen readers skip.
 *
 * @code
 * setAccessibleRole(ui->titleLabel, AccessibleRole::heading);
 * setAccessibleRole(ui->dividerView, AccessibleRole::decoration);
 * @endcode
 */
void setAccessibleRole(QWidget *widget, AccessibleRole role);
