// The small pieces every drawing of a view is made of: elements, colours,
// fonts, placing a view at its frame, its layer's look, a box of text and a
// picture of the device.

export const FONT_STACK = '"Helvetica Neue", Helvetica, "Liberation Sans", Arial, sans-serif';

const ALIGN = ['left', 'center', 'right'];
// UIViewContentMode → object-fit: scale to fill, aspect fit, aspect fill;
// the others draw the picture at its size.
const OBJECT_FIT = { 0: 'fill', 1: 'contain', 2: 'cover' };

export function element(tag, className) {
    const node = document.createElement(tag);
    if (className) node.className = className;
    return node;
}

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

// A view inside its superview: at its centre, moved by its transform's
// offset, turned by its rotation, its bounds' size.
export function place(node, view) {
    const [, , width, height] = view.bounds;
    const [cx, cy] = view.center;
    placeRect(node, [cx - width / 2, cy - height / 2, width, height]);
    const [tx, ty] = view.translation ?? [0, 0];
    const moves = [];
    if (tx || ty) moves.push(`translate(${tx}px, ${ty}px)`);
    if (view.rotation) moves.push(`rotate(${view.rotation}rad)`);
    if (moves.length) node.style.transform = moves.join(' ');
}

export function placeRect(node, [x, y, width, height]) {
    node.style.left = `${x}px`;
    node.style.top = `${y}px`;
    node.style.width = `${width}px`;
    node.style.height = `${height}px`;
}

// What the view's layer draws: background, opacity, corners, border.
export function decorate(node, view) {
    const background = cssColor(view.backgroundColor);
    if (background) node.style.backgroundColor = background;
    if (view.alpha !== undefined && view.alpha !== null && view.alpha < 1) node.style.opacity = view.alpha;
    if (view.cornerRadius) node.style.borderRadius = `${view.cornerRadius}px`;
    if (view.borderWidth > 0) {
        // A layer's border is drawn inside its bounds.
        node.style.boxShadow = `inset 0 0 0 ${view.borderWidth}px ${cssColor(view.borderColor) || 'black'}`;
    }
}

export function textBox(view, text, { color, multiline, vertical = 'center', placeholder = false, caret = false, align = null }) {
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

export function picture(path, contentMode, className = 'picture') {
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
