// The page's controls: the elements made from a dialog description, and the
// layout's rows (web/layout.mjs) built from them.

import {accessKeyParts, arrange, isValue} from './layout.mjs';

// Dialog units become lengths relative to the font (--dlu in page.css).
export const dlu = (units) => 'calc(' + units + ' * var(--dlu))';

// Shows a caption with its access key underlined, as the windows mark it.
export function setCaption(element, c) {
    const parts = c.noPrefix ? null : accessKeyParts(c.caption);
    if (!parts || parts.before + parts.key + parts.after !== c.shown) {
        element.textContent = c.shown;
        return;
    }
    const letter = document.createElement('u');
    letter.className = 'key';
    letter.textContent = parts.key;
    element.replaceChildren(parts.before, letter, parts.after);
}

// Places the controls of `desc` into `root` as the layout's rules arrange
// them: a row a div, a cluster a div, a column a div (a pair of radio buttons
// a named radio group), a group box a fieldset; `elementOf` gives the element
// of each control.
export function layOut(desc, root, elementOf, M) {
    const placed = (item) => {
        if (item.control) return elementOf(item.control);
        if (item.group) {
            const fieldset = document.createElement('fieldset');
            fieldset.className = 'grows';
            const legend = document.createElement('legend');
            setCaption(legend, item.group);
            fieldset.append(legend);
            fieldset.style.flexBasis = dlu(item.group.width);
            fill(fieldset, item.rows);
            return fieldset;
        }
        const column = document.createElement('div');
        column.className = 'column';
        column.append(...item.column.map(placed));
        const name = item.radioGroup !== null && M.radioGroupName(item.column[0].control.id);
        if (name) {
            column.setAttribute('role', 'radiogroup');
            column.setAttribute('aria-label', name);
        }
        return column;
    };
    const fill = (container, rows) => {
        for (const row of rows) {
            const line = document.createElement('div');
            line.className = 'row';
            if (row.indent > 0) line.style.marginInlineStart = dlu(row.indent);
            for (const cluster of row.clusters) {
                const element = document.createElement('div');
                element.className = cluster.grows ? 'cluster grows' : 'cluster';
                element.append(...cluster.items.map(placed));
                line.append(element);
            }
            container.append(line);
        }
    };
    fill(root, arrange(desc.controls));
}

// --- Making the elements ---------------------------------------------------

// Makes an element for every control of `desc`; returns the outer element
// of each (by index) and the control element itself (by index).
export function makeElements(desc, prefix, M) {
    const elementId = (c) => prefix + (c.id >= 0 ? c.id : 'n' + c.index);
    const outer = [];
    const inner = [];
    const labelled = new Set(desc.controls.filter((c) => c.labels >= 0).map((c) => c.labels));
    for (const c of desc.controls) {
        let element = null;
        let control = null;
        switch (c.kind) {
        case 'label': {
            const target = c.labels >= 0 ? desc.controls[c.labels] : null;
            element = document.createElement(target ? 'label' : 'span');
            if (target) element.htmlFor = elementId(target);
            setCaption(element, c);
            element.className = isValue(c) ? 'text value' : 'text';
            // A wide value (the status line) takes the room its row has.
            if (isValue(c) && c.width >= 100) element.classList.add('grows');
            if (c.id === M.idStatusLine) element.setAttribute('role', 'status');
            break;
        }
        case 'group':
            break; // a fieldset, made by layOut
        case 'icon':
            element = document.createElement('img');
            element.src = document.querySelector('link[rel=icon]').href;
            element.alt = '';
            element.className = 'icon';
            break;
        case 'text':
            element = document.createElement('input');
            element.type = 'text';
            element.readOnly = c.readOnly;
            element.spellcheck = false;
            element.autocomplete = 'off';
            if (c.rightAligned) element.classList.add('right');
            if (c.digitsOnly) element.inputMode = 'numeric';
            element.style.flexBasis = dlu(c.width);
            element.style.setProperty('--basis', dlu(c.width));
            if (c.width >= 100) element.classList.add('grows');
            else element.style.width = dlu(c.width);
            if (!c.tabStop) element.tabIndex = -1;
            break;
        case 'picture':
            element = document.createElement('button');
            element.type = 'button';
            element.className = 'picture';
            element.append(document.createElement('img'));
            element.firstChild.alt = '';
            element.firstChild.width = c.pictures.width;
            element.firstChild.height = c.pictures.height;
            break;
        case 'button':
            element = document.createElement('button');
            element.type = 'button';
            setCaption(element, c);
            break;
        case 'check':
        case 'radio': {
            control = document.createElement('input');
            control.type = c.kind === 'check' ? 'checkbox' : 'radio';
            if (c.kind === 'radio') control.name = prefix + 'g' + c.radioGroup;
            control.id = elementId(c);
            const caption = document.createElement('label');
            caption.htmlFor = control.id;
            setCaption(caption, c);
            element = document.createElement('span');
            element.className = 'choice';
            element.append(control, caption);
            break;
        }
        case 'list':
            element = document.createElement('select');
            element.style.minWidth = dlu(c.width);
            break;
        case 'spin': {
            // Arrows for the pointer; the keyboard steps the box itself.
            element = document.createElement('span');
            element.className = 'spin';
            element.setAttribute('aria-hidden', 'true');
            for (const arrow of ['up', 'down']) {
                const part = document.createElement('span');
                part.className = arrow;
                element.append(part);
            }
            break;
        }
        }
        control = control || element;
        if (control && c.kind !== 'label' && c.kind !== 'icon' && c.kind !== 'spin') {
            control.id = elementId(c);
            if (c.mnemonic) control.accessKey = c.mnemonic;
            // What a screen reader calls it, where no label names it.
            if (!labelled.has(c.index) && c.name && (c.kind === 'text' ||
                c.kind === 'list' || c.kind === 'picture'))
                control.setAttribute('aria-label', c.name);
        } else if (control && c.id >= 0) {
            control.id = elementId(c);
        }
        // The row of the description it was made from (its place in the Tab order).
        if (control) control.dataset.index = c.index;
        outer.push(element);
        inner.push(control);
    }
    // A label's mnemonic leads to the next Tab stop.
    for (const c of desc.controls)
        if (c.kind === 'label' && c.mnemonic && c.mnemonicTarget >= 0)
            inner[c.mnemonicTarget].accessKey = c.mnemonic;
    return {outer, inner};
}
