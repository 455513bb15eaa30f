// Draws the phone's screen from its snapshot: every visible window from the
// back to the front, each view at its exact frame inside its superview, with
// its colours, corners, border, rotation, text and pictures. Each element
// carries the view's class and name as data attributes (data-class,
// data-name), so a person inspecting the page, or a test, finds the views by
// the names the system gave them.

export const FONT_STACK = '"Helvetica Neue", Helvetica, "Liberation Sans", Arial, sans-serif';

export function cssColor(color) {
    if (!Array.isArray(color)) return null;
    const [r, g, b, a] = color;
    return `rgba(${Math.round(r * 255)}, ${Math.round(g * 255)}, ${Math.round(b * 255)}, ${a})`;
}

function cssFont(font) {
    if (!font) return `15px ${FONT_STACK}`;
    const bold = font.bold || /bold/i.test(font.name || '') ? 'bold ' : '';
    const italic = /italic|oblique/i.test(font.name || '') ? 'italic ' : '';
    return `${italic}${bold}${font.size}px ${FONT_STACK}`;
}

// A picture the system names by its device path; "" is one made from data,
// which the snapshot cannot hand over.
export function pictureURL(path) {
    if (!path) return null;
    return '/device' + path.split('/').map(encodeURIComponent).join('/');
}

const ALIGN = ['left', 'center', 'right'];
const OBJECT_FIT = { 0: 'fill', 1: 'contain', 2: 'cover' };

function element(tag, className) {
    const node = document.createElement(tag);
    if (className) node.className = className;
    return node;
}

function place(node, view) {
    const [, , width, height] = view.bounds;
    const [cx, cy] = view.center;
    node.style.left = `${cx - width / 2}px`;
    node.style.top = `${cy - height / 2}px`;
    node.style.width = `${width}px`;
    node.style.height = `${height}px`;
    const [tx, ty] = view.translation ?? [0, 0];
    const moves = [];
    if (tx || ty) moves.push(`translate(${tx}px, ${ty}px)`);
    if (view.rotation) moves.push(`rotate(${view.rotation}rad)`);
    if (moves.length) node.style.transform = moves.join(' ');
}

function placeRect(node, [x, y, width, height]) {
    node.style.left = `${x}px`;
    node.style.top = `${y}px`;
    node.style.width = `${width}px`;
    node.style.height = `${height}px`;
}

function decorate(node, view) {
    const background = cssColor(view.backgroundColor);
    if (background) node.style.backgroundColor = background;
    if (view.alpha !== undefined && view.alpha !== null && view.alpha < 1) node.style.opacity = view.alpha;
    if (view.cornerRadius) node.style.borderRadius = `${view.cornerRadius}px`;
    if (view.borderWidth > 0) {
        // A layer's border is drawn inside its bounds.
        node.style.boxShadow = `inset 0 0 0 ${view.borderWidth}px ${cssColor(view.borderColor) || 'black'}`;
    }
}

function textBox(view, text, { color, multiline, vertical = 'center', placeholder = false, caret = false, align = null }) {
    const box = element('div', 'text');
    box.style.font = cssFont(view.font);
    box.style.textAlign = align || ALIGN[view.textAlignment ?? 0] || 'left';
    box.style.justifyContent = vertical === 'center' ? 'center' : 'flex-start';
    const line = element('span', multiline ? 'lines' : 'line');
    line.textContent = text;
    if (color) line.style.color = color;
    if (placeholder) line.classList.add('placeholder');
    if (multiline && view.numberOfLines > 0) {
        line.style.webkitLineClamp = String(view.numberOfLines);
        line.classList.add('clamped');
    }
    box.appendChild(line);
    if (caret) {
        const mark = element('span', 'caret');
        if (placeholder) line.before(mark);
        else line.appendChild(mark);
    }
    return box;
}

function picture(path, contentMode, className = 'picture') {
    if (path === null || path === undefined) return null;
    const url = pictureURL(path);
    if (!url) return element('div', `${className} from-data`);
    const img = element('img', className);
    img.src = url;
    img.alt = '';
    img.draggable = false;
    img.style.objectFit = OBJECT_FIT[contentMode] || (contentMode === undefined ? 'fill' : 'none');
    return img;
}

function drawContent(node, view) {
    const cls = view.class || '';
    const color = cssColor(view.textColor);
    if ('buttonType' in view) {
        const background = picture(view.backgroundImage, 0, 'background-picture');
        if (background) node.appendChild(background);
        if (view.buttonType === 1 && !view.backgroundColor && !view.backgroundImage) node.classList.add('rounded-rect');
        const image = picture(view.image, 4, 'button-picture');
        if (image) node.appendChild(image);
        // A button's title is centred unless the system moved it.
        if (view.title) node.appendChild(textBox(view, view.title, { color, multiline: false, align: 'center' }));
        if (view.enabled === false) node.classList.add('disabled');
        return;
    }
    if ('borderStyle' in view) {
        if (view.borderStyle === 3) node.classList.add('rounded-field');
        else if (view.borderStyle === 1 || view.borderStyle === 2) node.classList.add('bordered-field');
        const empty = !view.text;
        const text = empty ? view.placeholder || '' : view.text;
        node.appendChild(textBox(view, text, { color: empty ? null : color, multiline: false, placeholder: empty, caret: view.firstResponder }));
        return;
    }
    if ('editable' in view) {
        node.appendChild(textBox(view, view.text || '', { color, multiline: true, vertical: 'top', caret: view.firstResponder }));
        node.classList.add('text-view');
        return;
    }
    if ('numberOfLines' in view) {
        if (view.text) node.appendChild(textBox(view, view.text, { color, multiline: view.numberOfLines !== 1 }));
        return;
    }
    if ('on' in view) {
        node.classList.add('switch', view.on ? 'on' : 'off');
        node.appendChild(element('span', 'knob'));
        return;
    }
    if ('value' in view && 'maximumValue' in view) {
        const span = view.maximumValue - view.minimumValue || 1;
        const track = element('div', 'slider-track');
        const knob = element('span', 'slider-knob');
        knob.style.left = `${((view.value - view.minimumValue) / span) * 100}%`;
        track.appendChild(knob);
        node.appendChild(track);
        return;
    }
    if (cls === 'UINavigationBar' && !view.backgroundColor) {
        node.classList.add('navigation-bar');
        const tint = cssColor(view.tintColor);
        if (tint) node.style.setProperty('--tint', tint);
    }
    if (cls === 'UITableViewCellAccessoryIndicator') {
        const mark = element('span', 'accessory');
        mark.textContent = view.accessoryType === 3 ? '✓' : view.accessoryType === 2 ? '›' : '›';
        if (view.accessoryType === 2) mark.classList.add('detail');
        node.appendChild(mark);
        return;
    }
    if ('image' in view && view.image !== null) {
        const image = picture(view.image, view.contentMode);
        if (image) node.appendChild(image);
    }
    // Alerts and action sheets: their title above their message.
    if (view.title || view.text) {
        const box = element('div', 'alert-text');
        if (view.title) {
            const title = element('strong');
            title.textContent = view.title;
            box.appendChild(title);
        }
        if (view.text) {
            const message = element('span');
            message.textContent = view.text;
            box.appendChild(message);
        }
        if (color) box.style.color = color;
        node.appendChild(box);
    }
}

function drawTable(content, view) {
    for (const header of view.headers || []) {
        const node = element('div', 'table-header');
        placeRect(node, header.frame);
        node.textContent = header.title || '';
        content.appendChild(node);
    }
    for (const row of view.rows || []) {
        if (!row.cell) {
            const empty = element('div', 'view empty-row');
            placeRect(empty, row.frame);
            content.appendChild(empty);
            continue;
        }
        const cell = drawView(row.cell);
        if (!cell) continue;
        placeRect(cell, row.frame);
        cell.dataset.indexPath = row.indexPath.join('.');
        if (view.style === 0) cell.classList.add('plain-row');
        content.appendChild(cell);
    }
}

const CLIPPING = /ScrollView|TableView|TextView|Window|TextField/;

export function drawView(view) {
    if (!view || view.hidden) return null;
    const node = element('div', 'view');
    node.dataset.class = view.class;
    if (view.name) node.dataset.name = view.name;
    if (view.firstResponder) node.dataset.firstResponder = 'true';
    if ('level' in view) node.dataset.level = view.level;
    place(node, view);
    decorate(node, view);
    if (CLIPPING.test(view.class) || view.cornerRadius > 0) node.classList.add('clips');
    drawContent(node, view);

    const [bx, by] = view.bounds;
    let content = node;
    if (bx || by || view.rows) {
        content = element('div', 'content');
        content.style.transform = `translate(${-bx}px, ${-by}px)`;
        node.appendChild(content);
    }
    if (view.rows) drawTable(content, view);
    for (const subview of view.subviews || []) {
        const child = drawView(subview);
        if (child) content.appendChild(child);
    }
    return node;
}

// The interface's rotation on the portrait screen, for drawing the keyboard
// the way the front window is turned.
const INTERFACE_ANGLE = { 1: 0, 2: Math.PI, 3: Math.PI / 2, 4: -Math.PI / 2 };

const KEY_ROWS = [
    ['q', 'w', 'e', 'r', 't', 'y', 'u', 'i', 'o', 'p'],
    ['a', 's', 'd', 'f', 'g', 'h', 'j', 'k', 'l'],
    ['⇧', 'z', 'x', 'c', 'v', 'b', 'n', 'm', '⌫'],
    ['123', '.', 'space', 'return'],
];

function drawKeyboard(keyboard, orientation) {
    const [x, y, width, height] = keyboard.frame;
    const angle = INTERFACE_ANGLE[orientation] || 0;
    const sideways = Math.abs(Math.sin(angle)) > 0.5;
    const [kw, kh] = sideways ? [height, width] : [width, height];
    const node = element('div', 'keyboard');
    node.dataset.name = 'keyboard';
    node.style.left = `${x + width / 2 - kw / 2}px`;
    node.style.top = `${y + height / 2 - kh / 2}px`;
    node.style.width = `${kw}px`;
    node.style.height = `${kh}px`;
    if (angle) node.style.transform = `rotate(${angle}rad)`;
    for (const keys of KEY_ROWS) {
        const row = element('div', 'key-row');
        for (const key of keys) {
            const button = element('span', 'key');
            button.dataset.key = key;
            button.textContent = key;
            if (key.length > 1) button.classList.add('wide');
            if (key === 'space') button.classList.add('space');
            row.appendChild(button);
        }
        node.appendChild(row);
    }
    return node;
}

function drawMenu(menu) {
    const node = element('div', 'edit-menu');
    node.dataset.name = 'editMenu';
    for (const item of menu.items || []) {
        const entry = element('span', 'menu-item');
        entry.textContent = item;
        node.appendChild(entry);
    }
    return node;
}

export function drawScreen(container, snapshot) {
    const fragment = document.createDocumentFragment();
    for (const window of snapshot.windows || []) {
        const node = drawView(window);
        if (node) fragment.appendChild(node);
    }
    if (snapshot.keyboard && snapshot.keyboard.visible !== false && snapshot.keyboard.frame) fragment.appendChild(drawKeyboard(snapshot.keyboard, snapshot.orientation));
    if (snapshot.menu && snapshot.menu.visible) fragment.appendChild(drawMenu(snapshot.menu));
    container.replaceChildren(fragment);
}
