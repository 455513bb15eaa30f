// How each kind of view is drawn, by the snapshot's "kind" (docs/snapshot.md).
// screen.js places every view at its frame with its layer's look and draws
// its subviews; the entry of its kind adds what is particular to it:
//
//   clips        the view cuts its content at its bounds
//   draw(node, view)
//                adds the view's own content (text, pictures, knobs) to its
//                element, before its subviews
//   content(box, view, drawView)
//                fills the view's scrolled content box with what is not a
//                subview (a table's rows and headers)
//
// A kind the page does not know is drawn as a "view", so a new window shows
// from the first day. To draw a new kind, add its entry here under the name
// the snapshot gives it, and its look to style.css under a class of the same
// name (each element carries its kind as class `kind-<name>`).

import { cssColor, element, picture, placeRect, textBox } from './paint.js';

function drawLabel(node, view) {
    if (view.text) node.appendChild(textBox(view, view.text, { color: cssColor(view.textColor), multiline: view.numberOfLines !== 1 }));
}

function drawButton(node, view) {
    const background = picture(view.backgroundImage, 0, 'background-picture');
    if (background) node.appendChild(background);
    // A rounded-rect button without pictures or colour of its own.
    if (view.buttonType === 1 && !view.backgroundColor && !view.backgroundImage) node.classList.add('rounded-rect');
    const image = picture(view.image, 4, 'button-picture');
    if (image) node.appendChild(image);
    // A button's title is centred unless the system moved it.
    if (view.title) node.appendChild(textBox(view, view.title, { color: cssColor(view.textColor), multiline: false, align: 'center' }));
    if (view.enabled === false) node.classList.add('disabled');
}

// UITextBorderStyle: 1 line, 2 bezel, 3 rounded rectangle.
const FIELD_BORDER = { 1: 'bordered-field', 2: 'bordered-field', 3: 'rounded-field' };

function drawTextField(node, view) {
    if (FIELD_BORDER[view.borderStyle]) node.classList.add(FIELD_BORDER[view.borderStyle]);
    const empty = !view.text;
    const text = empty ? view.placeholder || '' : view.text;
    node.appendChild(textBox(view, text, { color: empty ? null : cssColor(view.textColor), multiline: false, placeholder: empty, caret: view.firstResponder }));
}

function drawTextView(node, view) {
    node.appendChild(textBox(view, view.text || '', { color: cssColor(view.textColor), multiline: true, vertical: 'top', caret: view.firstResponder }));
}

function drawImage(node, view) {
    const image = picture(view.image, view.contentMode);
    if (image) node.appendChild(image);
}

function drawSwitch(node, view) {
    node.classList.add(view.on ? 'on' : 'off');
    node.appendChild(element('span', 'knob'));
}

function drawSlider(node, view) {
    const span = view.maximumValue - view.minimumValue || 1;
    const track = element('div', 'slider-track');
    const knob = element('span', 'slider-knob');
    knob.style.left = `${((view.value - view.minimumValue) / span) * 100}%`;
    track.appendChild(knob);
    node.appendChild(track);
}

function drawNavigationBar(node, view) {
    // A bar with a colour of its own is drawn in it; the others in the
    // platform's gradient, tinted.
    if (view.backgroundColor) return;
    node.classList.add('navigation-bar');
    const tint = cssColor(view.tintColor);
    if (tint) node.style.setProperty('--tint', tint);
}

// UITableViewCellAccessoryType: 1 disclosure indicator, 2 detail disclosure
// button, 3 checkmark.
const ACCESSORY = { 1: { mark: '›' }, 2: { mark: '›', className: 'detail' }, 3: { mark: '✓' } };

function drawAccessory(node, view) {
    const accessory = ACCESSORY[view.accessoryType];
    if (!accessory) return;
    const mark = element('span', 'accessory');
    mark.textContent = accessory.mark;
    if (accessory.className) mark.classList.add(accessory.className);
    node.appendChild(mark);
}

// Alerts and action sheets: their title above their message. The platform
// lays out labels of its own for them inside the sheet; a text one of those
// labels already shows is not drawn a second time.
function drawAlert(node, view) {
    const labelled = new Set((view.subviews || []).filter((subview) => kindOf(subview) === 'label' && !subview.hidden).map((label) => label.text));
    const title = labelled.has(view.title) ? '' : view.title;
    const text = labelled.has(view.text) ? '' : view.text;
    if (!title && !text) return;
    const box = element('div', 'alert-text');
    if (title) {
        const strong = element('strong');
        strong.textContent = title;
        box.appendChild(strong);
    }
    if (text) {
        const message = element('span');
        message.textContent = text;
        box.appendChild(message);
    }
    const color = cssColor(view.textColor);
    if (color) box.style.color = color;
    node.appendChild(box);
}

// Rows and headers are placed in the table's content coordinates; a row
// whose cell the data source failed to give is drawn empty.
function tableContent(box, view, drawView) {
    for (const header of view.headers || []) {
        const node = element('div', 'table-header');
        placeRect(node, header.frame);
        node.textContent = header.title || '';
        box.appendChild(node);
    }
    for (const row of view.rows || []) {
        const cell = row.cell ? drawView(row.cell) : element('div', 'view empty-row');
        if (!cell) continue;
        placeRect(cell, row.frame);
        if (row.cell) cell.dataset.indexPath = row.indexPath.join('.');
        if (view.style === 0) cell.classList.add('plain-row');
        box.appendChild(cell);
    }
}

export const KINDS = {
    view: {},
    window: { clips: true },
    scrollView: { clips: true },
    label: { draw: drawLabel },
    button: { draw: drawButton },
    textField: { clips: true, draw: drawTextField },
    textView: { clips: true, draw: drawTextView },
    image: { draw: drawImage },
    switch: { draw: drawSwitch },
    slider: { draw: drawSlider },
    navigationBar: { draw: drawNavigationBar },
    table: { clips: true, content: tableContent },
    tableCell: {},
    accessoryIndicator: { draw: drawAccessory },
    alert: { draw: drawAlert },
    actionSheet: { draw: drawAlert },
};

export const kindOf = (view) => (Object.hasOwn(KINDS, view.kind) ? view.kind : 'view');
