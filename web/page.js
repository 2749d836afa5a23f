// The browser's front end, a thin host as the Qt and Win32 ones are: it
// builds the editor and the About box from the models' dialog descriptions as
// HTML elements, mirrors the models' control state into them, forwards what
// the user does to one user* call, and answers the models' host calls
// (message boxes, the file picker, downloads, the busy state, focus). Files
// come in by picker or drop and leave through the browser's save dialog or as
// downloads; nothing is sent anywhere.
'use strict';

(function () {
    const byId = (id) => document.getElementById(id);
    const pictures = window.varnholtPictures;

    let M = null; // the WebAssembly module
    let editor = null; // M.Editor while the editor runs
    const described = new Map(); // control id -> its description
    const controls = new Map(); // control id -> its element
    const spinOfBox = new Map(); // box id -> the spin that steps it
    let about = null; // the About box's model and elements while it runs

    // --- Layout: the description's rectangles become rows, columns and groups ---

    // Dialog units become lengths relative to the font (--dlu in page.css).
    const dlu = (units) => 'calc(' + units + ' * var(--dlu))';

    const within = (c, g) =>
        c !== g && c.x >= g.x && c.y >= g.y && c.x + c.width <= g.x + g.width &&
        c.y + c.height <= g.y + g.height;

    // Places the controls of `desc` into `root`. A group box becomes a
    // fieldset that holds the controls inside its rectangle. In each container
    // the controls that share a line form a row, controls above one another
    // within a row form a column (the radio buttons of a group), a row starts
    // as far in as the layout indents it, and a control without a caption of
    // its own (a box, a list, a value) stays with the one before it. The order
    // of the elements, and so the Tab order, follows the rectangles, which
    // follow the template order.
    function layOut(desc, root, elementOf) {
        const groups = desc.controls.filter((c) => c.kind === 'group');
        const parentOf = (c) => {
            let best = null;
            for (const g of groups) if (within(c, g) && (!best || within(g, best))) best = g;
            return best;
        };
        const members = new Map([[null, []]]);
        for (const g of groups) members.set(g, []);
        for (const c of desc.controls) members.get(parentOf(c)).push(c);

        const fill = (container, items) => {
            const left = Math.min(...items.map((c) => c.x));
            const rows = [];
            for (const c of [...items].sort((a, b) => a.y - b.y || a.x - b.x)) {
                const row = rows[rows.length - 1];
                if (row && c.y < row.bottom) {
                    row.items.push(c);
                    row.bottom = Math.max(row.bottom, c.y + c.height);
                } else {
                    rows.push({items: [c], bottom: c.y + c.height});
                }
            }
            for (const row of rows) {
                const columns = [];
                for (const c of [...row.items].sort((a, b) => a.x - b.x || a.y - b.y)) {
                    const column = columns.find((k) => c.x < k.right && k.left < c.x + c.width);
                    if (column) {
                        column.items.push(c);
                        column.right = Math.max(column.right, c.x + c.width);
                    } else {
                        columns.push({items: [c], left: c.x, right: c.x + c.width});
                    }
                }
                const line = document.createElement('div');
                line.className = 'row';
                const indent = Math.min(...row.items.map((c) => c.x)) - left;
                if (indent > 0) line.style.marginInlineStart = dlu(indent);
                let cluster = null;
                for (const column of columns) {
                    column.items.sort((a, b) => a.y - b.y);
                    let element;
                    if (column.items.length === 1) {
                        element = placed(column.items[0]);
                    } else {
                        element = document.createElement('div');
                        element.className = 'column';
                        for (const c of column.items) element.append(placed(c));
                        // A pair of radio buttons is a group with a name.
                        const first = column.items[0];
                        const name = first.kind === 'radio' && column.items.every((c) =>
                            c.kind === 'radio' && c.radioGroup === first.radioGroup) &&
                            M.radioGroupName(first.id);
                        if (name) {
                            element.setAttribute('role', 'radiogroup');
                            element.setAttribute('aria-label', name);
                        }
                    }
                    const single = column.items.length === 1 ? column.items[0] : null;
                    const follows = cluster && single && (isValue(single) ||
                        ['text', 'list', 'spin', 'picture'].includes(single.kind));
                    if (!follows) {
                        cluster = document.createElement('div');
                        cluster.className = 'cluster';
                        line.append(cluster);
                    }
                    cluster.append(element);
                    if (element.classList.contains('grows')) cluster.classList.add('grows');
                }
                container.append(line);
            }
        };
        const placed = (c) => {
            if (c.kind !== 'group') return elementOf(c);
            const fieldset = document.createElement('fieldset');
            fieldset.className = 'grows';
            const legend = document.createElement('legend');
            setCaption(legend, c);
            fieldset.append(legend);
            fieldset.style.flexBasis = dlu(c.width);
            fill(fieldset, members.get(c));
            return fieldset;
        };
        fill(root, members.get(null));
    }

    // Shows a caption with its access key underlined, as the windows mark it:
    // the letter after the one single '&' of the stored caption.
    function setCaption(element, c) {
        let shown = '';
        let key = -1;
        const stored = c.caption;
        for (let i = 0; i < stored.length; ++i) {
            if (stored[i] === '&' && !c.noPrefix && i + 1 < stored.length) {
                ++i;
                if (stored[i] !== '&' && key < 0) key = shown.length;
            }
            shown += stored[i];
        }
        if (key < 0 || shown !== c.shown) {
            element.textContent = c.shown;
            return;
        }
        const letter = document.createElement('u');
        letter.className = 'key';
        letter.textContent = shown[key];
        element.replaceChildren(shown.slice(0, key), letter, shown.slice(key + 1));
    }

    // A static text that shows a value (a saved game's names, the status).
    const isValue = (c) => c.kind === 'label' && c.id >= 0 && c.shown === '';

    // --- Making the elements ---------------------------------------------------

    // Makes an element for every control of `desc`; returns the outer element
    // of each (by index) and the control element itself (by index).
    function makeElements(desc, prefix) {
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

    // --- The editor ------------------------------------------------------------

    function buildEditor() {
        const description = M.editorDescription();
        const {outer, inner} = makeElements(description, 'c');
        const main = byId('editor');
        layOut(description, main, (c) => outer[c.index]);
        for (const c of description.controls) {
            if (c.id < 0) continue;
            described.set(c.id, c);
            controls.set(c.id, inner[c.index]);
            if (c.kind === 'spin' && c.spinArrowKeys) spinOfBox.set(c.buddyId, c);
        }
        for (const c of description.controls) if (c.id >= 0) connect(c, inner[c.index]);
        // The save is picked or dropped, never typed: the box shows its name.
        controls.get(M.idSourcePath).readOnly = true;
        for (const [boxId, spin] of spinOfBox) {
            const box = controls.get(boxId);
            box.setAttribute('role', 'spinbutton'); // its values come with the first mirror
            connectSpinKeys(spin, box);
        }
    }

    // Sets the element of control `id` to the model's state where it differs.
    function mirror(id) {
        const element = controls.get(id);
        const c = described.get(id);
        if (!element || !editor) return;
        const state = editor.control(id);
        switch (c.kind) {
        case 'label': {
            const text = c.noPrefix ? state.text : M.displayCaption(state.text);
            if (element.textContent !== text) element.textContent = text;
            element.classList.toggle('disabled', !state.enabled);
            return;
        }
        case 'text': {
            if (element.maxLength !== state.lengthLimit) element.maxLength = state.lengthLimit;
            if (element.value !== state.text) element.value = state.text;
            const spin = spinOfBox.get(id);
            if (spin) {
                const range = editor.control(spin.id);
                setAttribute(element, 'aria-valuemin', String(range.spinMinimum));
                setAttribute(element, 'aria-valuemax', String(range.spinMaximum));
                setAttribute(element, 'aria-valuenow', state.number === null ? '' : String(state.number));
            }
            break;
        }
        case 'check':
        case 'radio':
            if (element.checked !== state.checked) element.checked = state.checked;
            break;
        case 'list': {
            const shown = Array.from(element.options, (o) => o.text);
            if (shown.length !== state.items.length || shown.some((t, i) => t !== state.items[i])) {
                element.replaceChildren(...state.items.map((t) => new Option(t)));
            }
            if (element.selectedIndex !== state.selection) element.selectedIndex = state.selection;
            break;
        }
        case 'spin':
            element.classList.toggle('disabled', !state.enabled);
            mirror(c.buddyId);
            return;
        case 'picture':
            element.disabled = !state.enabled;
            showPicture(id);
            return;
        }
        if (element.disabled !== !state.enabled) element.disabled = !state.enabled;
    }

    function setAttribute(element, name, value) {
        if (element.getAttribute(name) !== value) element.setAttribute(name, value);
    }

    // The picture button shows the picture the model picks for its state.
    const pictureState = new Map(); // id -> {pressed, focused}
    function showPicture(id) {
        const button = controls.get(id);
        const state = pictureState.get(id) || {pressed: false, focused: false};
        const name = M.editorPicture(id, state.pressed, state.focused, !button.disabled);
        const source = pictures[name];
        if (source && button.firstChild.src !== source) button.firstChild.src = source;
    }

    function connect(c, element) {
        const id = c.id;
        switch (c.kind) {
        case 'text':
            element.addEventListener('input', () => {
                if (refuse(id)) return;
                editor.userSetText(id, element.value);
                mirror(id);
            });
            if (c.digitsOnly)
                element.addEventListener('beforeinput', (event) => {
                    if (event.data && /\D/.test(event.data)) event.preventDefault();
                });
            break;
        case 'picture': {
            pictureState.set(id, {pressed: false, focused: false});
            const set = (key, value) => {
                pictureState.get(id)[key] = value;
                showPicture(id);
            };
            element.addEventListener('pointerdown', () => set('pressed', !element.disabled));
            for (const type of ['pointerup', 'pointerleave', 'pointercancel'])
                element.addEventListener(type, () => set('pressed', false));
            element.addEventListener('keydown', (e) => e.key === ' ' && set('pressed', true));
            element.addEventListener('keyup', (e) => e.key === ' ' && set('pressed', false));
            element.addEventListener('focus', () => set('focused', true));
            element.addEventListener('blur', () => set('focused', false));
        }
        // falls through: it is clicked as a button is
        case 'button':
        case 'check':
        case 'radio':
            element.addEventListener('click', () => {
                if (refuse(id)) return;
                const work = () => {
                    editor.userClick(id);
                    mirror(id);
                };
                if (copiesTheSave(id)) withProgress('apply', M.progressName(true), currentSaveBytes, work);
                else work();
            });
            break;
        case 'list':
            element.addEventListener('change', () => {
                if (refuse(id)) return;
                editor.userSelect(id, element.selectedIndex);
                mirror(id);
            });
            break;
        case 'spin':
            connectSpinArrows(c, element);
            break;
        }
    }

    // While a long command waits for its progress to be painted, the page
    // takes no other action: the element goes back to the model's state.
    let waiting = false;
    function refuse(id) {
        if (!waiting) return false;
        mirror(id);
        return true;
    }

    function spinStep(spin, step) {
        if (waiting) return;
        editor.userSpin(spin.id, step);
        mirror(spin.id);
        mirror(spin.buddyId);
    }

    function connectSpinArrows(spin, element) {
        let timer = 0;
        let held = 0;
        const stop = () => {
            clearTimeout(timer);
            timer = 0;
        };
        for (const [arrow, direction] of [[element.firstChild, 1], [element.lastChild, -1]]) {
            const repeat = () => {
                spinStep(spin, direction * M.spinStep(performance.now() - held));
                timer = setTimeout(repeat, M.spinRepeatIntervalMs);
            };
            arrow.addEventListener('pointerdown', (event) => {
                if (event.button !== 0) return;
                event.preventDefault(); // the focus stays where it is
                arrow.setPointerCapture(event.pointerId);
                held = performance.now();
                spinStep(spin, direction);
                timer = setTimeout(repeat, M.spinFirstRepeatDelayMs);
            });
            for (const type of ['pointerup', 'pointercancel', 'lostpointercapture'])
                arrow.addEventListener(type, stop);
        }
    }

    // The up and down keys in the box step its spin, as the spin's own keys.
    function connectSpinKeys(spin, box) {
        let held = 0;
        box.addEventListener('keydown', (event) => {
            if (event.key !== 'ArrowUp' && event.key !== 'ArrowDown') return;
            if (event.altKey || event.ctrlKey || event.metaKey || event.shiftKey) return;
            event.preventDefault();
            if (!event.repeat) held = performance.now();
            const direction = event.key === 'ArrowUp' ? 1 : -1;
            spinStep(spin, direction * M.spinStep(performance.now() - held));
        });
    }

    // --- Long commands: a progress the page paints before the work starts -----

    // Apply copies the whole saved game; from this size on, its work (and the
    // reading of a file that comes in) may take longer than a user waits
    // without a sign (about 200 ms on a slow machine; see the README).
    const copiesTheSave = (id) => id === M.idApply;
    const progressFromBytes = 8 << 20;
    let currentSaveBytes = 0;

    function showProgress(name) {
        byId('progress-bar').setAttribute('aria-label', name);
        byId('progress').hidden = false;
        waiting = true;
    }

    function hideProgress() {
        byId('progress').hidden = true;
        waiting = false;
    }

    // The work's time is left as a user-timing measure ("varnholt WHAT"), and
    // its start as a mark ("varnholt WHAT starts"), for the browser's developer
    // tools and the measurements in the README.
    function withProgress(what, name, bytes, work, start = performance.now()) {
        const timed = () => {
            performance.mark('varnholt ' + what + ' starts');
            try {
                work();
            } finally {
                performance.measure('varnholt ' + what, {start});
            }
        };
        if (bytes < progressFromBytes) {
            timed();
            return;
        }
        showProgress(name);
        // The second frame comes after the first, with the progress, was painted.
        requestAnimationFrame(() => requestAnimationFrame(() => {
            waiting = false;
            try {
                timed();
            } finally {
                hideProgress();
            }
        }));
    }

    // --- Message boxes: the page's own dialogs, shown one after another --------

    const messages = [];
    let showingMessage = false;
    let pendingFocus = null; // what the model asked to focus while a box was open
    let pendingSelect = null;

    const dialogOpen = () => showingMessage || about !== null;

    function showMessage(caption, text, icon) {
        messages.push({caption, text, icon});
        if (!showingMessage) nextMessage();
    }

    function nextMessage() {
        const box = byId('message');
        const message = messages.shift();
        showingMessage = !!message;
        if (!message) {
            if (!about) applyPendingFocus();
            return;
        }
        byId('message-caption').textContent = message.caption;
        byId('message-text').textContent = message.text;
        byId('message-icon').className = message.icon;
        box.setAttribute('role', message.icon === 'information' ? 'dialog' : 'alertdialog');
        box.showModal();
        byId('message-ok').focus();
    }

    function applyPendingFocus() {
        if (pendingFocus !== null) controls.get(pendingFocus)?.focus();
        if (pendingSelect !== null) controls.get(pendingSelect)?.select();
        pendingFocus = pendingSelect = null;
    }

    function makeMessageBox() {
        const box = document.createElement('dialog');
        box.id = 'message';
        box.setAttribute('aria-labelledby', 'message-caption');
        box.setAttribute('aria-describedby', 'message-text');
        const caption = document.createElement('h2');
        caption.id = 'message-caption';
        const body = document.createElement('p');
        const icon = document.createElement('span');
        icon.id = 'message-icon';
        icon.setAttribute('aria-hidden', 'true');
        const text = document.createElement('span');
        text.id = 'message-text';
        body.append(icon, text);
        const ok = document.createElement('button');
        ok.type = 'button';
        ok.id = 'message-ok';
        // The OK of the program's own dialogs, in the user's language.
        ok.textContent = M.aboutBoxDescription().controls.find((c) => c.id === M.idOk).shown;
        ok.addEventListener('click', () => box.close());
        const buttons = document.createElement('div');
        buttons.className = 'buttons';
        buttons.append(ok);
        box.append(caption, body, buttons);
        box.addEventListener('close', nextMessage);
        document.body.append(box);
    }

    // --- The About box ---------------------------------------------------------

    function runAboutBox(messageCaption) {
        const desc = M.aboutBoxDescription();
        const dialog = document.createElement('dialog');
        dialog.className = 'about';
        dialog.setAttribute('aria-labelledby', 'about-caption');
        const caption = document.createElement('h2');
        caption.id = 'about-caption';
        caption.textContent = desc.caption;
        const form = document.createElement('div');
        form.className = 'form';
        const {outer, inner} = makeElements(desc, 'a');
        // The contact address becomes the link.
        const contact = desc.controls.find((c) => c.id === M.idContactAddress);
        const link = document.createElement('a');
        link.id = 'about-link';
        outer[contact.index] = inner[contact.index] = link;
        layOut(desc, form, (c) => outer[c.index]);
        dialog.append(caption, form);
        document.body.append(dialog);

        let pointerInside = false;
        let leaveTimer = 0;
        const host = {
            openUrl: (url) => window.location.assign(url),
            measureText: (text) => {
                const context = document.createElement('canvas').getContext('2d');
                context.font = getComputedStyle(link).font;
                const metrics = context.measureText(text);
                return {width: Math.ceil(metrics.width), height: Math.ceil(
                    metrics.fontBoundingBoxAscent + metrics.fontBoundingBoxDescent)};
            },
            repaint: () => showLink(),
            startLeaveCheck: (ms) => {
                clearInterval(leaveTimer);
                leaveTimer = setInterval(() => about.model.onLeaveCheck(), ms);
            },
            stopLeaveCheck: () => clearInterval(leaveTimer),
            pointerInside: () => pointerInside,
            showMessage,
            endAbout: () => dialog.close(),
        };
        const model = new M.AboutBox(host, messageCaption);
        about = {model, dialog};
        const showLink = () => {
            const shown = model.link();
            link.textContent = shown.text;
            link.href = shown.url;
            link.title = shown.toolTip;
            link.style.color = shown.colour;
            link.style.textDecoration = shown.underlined ? 'underline' : 'none';
            link.style.cursor = shown.handPointer ? 'pointer' : 'auto';
        };
        link.addEventListener('pointerenter', () => (pointerInside = true));
        link.addEventListener('pointerleave', () => (pointerInside = false));
        link.addEventListener('pointermove', () => model.onMouseMove());
        link.addEventListener('click', (event) => {
            event.preventDefault();
            model.onClicked();
        });
        const ok = inner[desc.controls.findIndex((c) => c.id === M.idOk)];
        ok.addEventListener('click', () => model.userClick(M.idOk));
        // Escape: the model ends the box.
        dialog.addEventListener('cancel', (event) => {
            event.preventDefault();
            model.userPressEscape();
        });
        dialog.addEventListener('close', () => {
            clearInterval(leaveTimer);
            // After the model's call that closed it has returned.
            setTimeout(() => {
                model.delete();
                dialog.remove();
                about = null;
                if (!showingMessage) applyPendingFocus();
            });
        });
        const focus = model.initDialog(contact.shown);
        showLink();
        dialog.showModal();
        const first = desc.controls.find((c) => c.id === focus);
        if (first) inner[first.index].focus();
    }

    // --- Files in and out ------------------------------------------------------

    // A picked or dropped file is never copied whole. The model reads a save
    // from its start, through a file of the in-memory file system whose reads
    // this script answers from the first bytes of the picked File (the head,
    // read before the model is called) and, where the anchor text lies beyond
    // the head, from a stretch around its first occurrence. Every other byte
    // reads as zero: the model reads the places it decodes from the head, and
    // beyond it looks only for the anchor, whose first occurrence is then known.
    // Apply's copy is made from slices of the File and the patched bytes.
    const headBytes = 4 << 20;
    const scanBytes = 16 << 20;
    const stretchBytes = 64 << 10;
    // The anchor text, "descr_strat.txt" as UTF-16LE (core/SaveLayout.cpp).
    const anchor = Uint8Array.from(Array.from('descr_strat.txt').flatMap((c) => [c.charCodeAt(0), 0]));
    // WASI's error numbers, which the in-memory file system reports.
    const errno = {EACCES: 2};

    function findAnchor(bytes) {
        for (let at = bytes.indexOf(anchor[0]); at >= 0 && at + anchor.length <= bytes.length;
            at = bytes.indexOf(anchor[0], at + 1)) {
            let k = 1;
            while (k < anchor.length && bytes[at + k] === anchor[k]) ++k;
            if (k === anchor.length) return at;
        }
        return -1;
    }

    // What the model may read of `file`: its head and the stretch around the
    // anchor; `unreadable` when the browser could not read it.
    async function readHead(file) {
        const picked = {file, size: file.size, head: new Uint8Array(0), stretches: [], unreadable: false};
        try {
            picked.head = new Uint8Array(await file.slice(0, Math.min(file.size, headBytes)).arrayBuffer());
            if (picked.size > picked.head.length && findAnchor(picked.head) < 0) {
                // On through the rest, overlapping by the anchor's length less one.
                for (let at = picked.head.length - anchor.length + 1; at < picked.size; at += scanBytes) {
                    const bytes = new Uint8Array(await file.slice(at, at + scanBytes + anchor.length - 1).arrayBuffer());
                    const found = findAnchor(bytes);
                    if (found >= 0) {
                        const start = Math.max(0, at + found - stretchBytes);
                        picked.stretches.push({start, bytes: new Uint8Array(
                            await file.slice(start, at + found + stretchBytes).arrayBuffer())});
                        break;
                    }
                }
            }
        } catch (error) {
            picked.unreadable = true;
        }
        return picked;
    }

    // The file of the in-memory file system that stands for `picked`.
    function makePickedFile(folder, name, picked) {
        const node = M.FS.createFile(folder, name, {}, true, false);
        node.picked = picked;
        node.usedBytes = picked.size;
        const stream = Object.assign({}, node.stream_ops);
        stream.read = (s, buffer, offset, length, position) => {
            const p = s.node.picked;
            if (p.unreadable) throw new M.FS.ErrnoError(errno.EACCES);
            const end = Math.min(p.size, position + length);
            if (end <= position) return 0;
            const into = buffer.subarray(offset, offset + (end - position));
            into.fill(0);
            for (const part of [{start: 0, bytes: p.head}, ...p.stretches]) {
                const from = Math.max(position, part.start);
                const to = Math.min(end, part.start + part.bytes.length);
                if (from < to) into.set(part.bytes.subarray(from - part.start, to - part.start), from - position);
            }
            return end - position;
        };
        node.stream_ops = stream;
    }

    let picks = 0;
    let loads = 0;
    const held = new Map(); // path -> {file, handle}: the files the model may name

    // A new folder for each file that comes in, so that no two files meet;
    // the folders of earlier files go once a new one is handed over.
    function newFolder() {
        const folder = M.savesFolder + '/' + ++picks;
        M.FS.mkdir(folder);
        return folder;
    }

    function removeEarlierFolders(keep) {
        for (const name of M.FS.readdir(M.savesFolder)) {
            const folder = M.savesFolder + '/' + name;
            if (name === '.' || name === '..' || keep.includes(folder)) continue;
            removeTree(folder);
        }
        for (const path of held.keys())
            if (!keep.some((folder) => path.startsWith(folder + '/'))) held.delete(path);
    }

    function removeTree(path) {
        if (M.FS.isDir(M.FS.stat(path).mode)) {
            for (const name of M.FS.readdir(path))
                if (name !== '.' && name !== '..') removeTree(path + '/' + name);
            M.FS.rmdir(path);
        } else {
            M.FS.unlink(path);
        }
    }

    // Makes what came in a file of the in-memory file system: a save as its
    // head (see above), a folder as a folder.
    async function takeIn(entry) {
        const folder = newFolder();
        const path = folder + '/' + entry.name;
        if (entry.isDirectory) {
            M.FS.mkdir(path);
            return {path, folder};
        }
        makePickedFile(folder, entry.name, await readHead(entry.file));
        held.set(path, {file: entry.file, handle: entry.handle || null});
        return {path, folder};
    }

    // A file that comes in is read (the page stays live meanwhile) and loaded
    // as Refresh loads, under its name. A failed load leaves nothing on show:
    // the form starts afresh, and the messages say what went wrong.
    async function handIn(entries, call) {
        const start = performance.now();
        const name = M.progressName(false);
        const bytes = Math.max(0, ...entries.map((e) => (e.file ? e.file.size : 0)));
        if (bytes >= progressFromBytes) showProgress(name);
        const taken = [];
        for (const entry of entries) taken.push(await takeIn(entry));
        withProgress('load', name, bytes, () => {
            currentSaveBytes = bytes;
            call(taken.map((t) => t.path));
            if (editor.control(M.idOutputPath).text === '') {
                startEditor();
            } else {
                // The save now named stays (a new one, or the earlier one when
                // nothing was loaded); the others go.
                const path = editor.savePath();
                removeEarlierFolders([path.slice(0, path.lastIndexOf('/'))]);
            }
            showDropHint();
            // How many files came in, for whoever waits for one.
            document.body.dataset.loads = String(++loads);
        }, start);
    }

    const fileSystemAccess = () =>
        typeof window.showOpenFilePicker === 'function' && typeof window.showSaveFilePicker === 'function';

    async function openFilePicker(patterns) {
        // "*.sav;*.xyz" as the browser writes it; "*.*" is every file.
        const accept = [];
        for (const pattern of patterns)
            for (const part of pattern.split(';'))
                if (part.startsWith('*.') && part !== '*.*') accept.push(part.slice(1));
        if (fileSystemAccess()) {
            let handle;
            try {
                [handle] = await window.showOpenFilePicker(accept.length ?
                    {types: [{accept: {'application/octet-stream': accept}}]} : {});
            } catch (error) {
                return; // cancelled
            }
            const file = await handle.getFile();
            handIn([{name: file.name, file, handle}], (paths) => editor.userPickedFile(paths[0]));
            return;
        }
        const picker = byId('file-picker');
        picker.accept = accept.join(',');
        picker.value = '';
        picker.click();
    }

    function connectFiles() {
        const picker = byId('file-picker');
        picker.addEventListener('change', () => {
            const file = picker.files[0];
            picker.value = '';
            if (file)
                handIn([{name: file.name, file}], (paths) => editor.userPickedFile(paths[0]));
        });
        const fileCount = (event) =>
            Array.from(event.dataTransfer.items || []).filter((i) => i.kind === 'file').length;
        const carriesFiles = (event) => Array.from(event.dataTransfer.types).includes('Files');
        const takes = (event) =>
            editor && !waiting && !dialogOpen() && editor.acceptsDrop(fileCount(event));
        document.addEventListener('dragover', (event) => {
            if (!carriesFiles(event)) return;
            // Never let the browser open a dropped file in place of the page.
            event.preventDefault();
            event.dataTransfer.dropEffect = takes(event) ? 'copy' : 'none';
            document.body.classList.toggle('dropping', takes(event));
        });
        document.addEventListener('dragleave', (event) => {
            if (!event.relatedTarget) document.body.classList.remove('dropping');
        });
        document.addEventListener('drop', (event) => {
            document.body.classList.remove('dropping');
            if (!carriesFiles(event)) return;
            event.preventDefault();
            if (!takes(event)) return;
            // The entries must be taken now: the drop's data goes with the event.
            const entries = [];
            for (const item of event.dataTransfer.items) {
                if (item.kind !== 'file') continue;
                const file = item.getAsFile();
                const entry = item.webkitGetAsEntry && item.webkitGetAsEntry();
                entries.push({name: file.name, file, isDirectory: !!entry && entry.isDirectory});
            }
            handIn(entries, (paths) => editor.userDropFiles(paths));
        });
    }

    // The copy: the save's own bytes with the patches laid over them, as a
    // Blob of slices of the picked File; nothing of the save is copied here.
    function copyOf(file, patches) {
        const changed = new Map(); // offset -> byte, the later patch winning
        for (const patch of patches)
            patch.bytes.forEach((byte, k) => changed.set(patch.offset + k, byte));
        const offsets = [...changed.keys()].sort((a, b) => a - b);
        const parts = [];
        let at = 0;
        for (let i = 0; i < offsets.length;) {
            let j = i;
            while (j + 1 < offsets.length && offsets[j + 1] === offsets[j] + 1) ++j;
            parts.push(file.slice(at, offsets[i]));
            parts.push(Uint8Array.from(offsets.slice(i, j + 1), (o) => changed.get(o)));
            at = offsets[j] + 1;
            i = j + 1;
        }
        parts.push(file.slice(at));
        return new Blob(parts, {type: 'application/octet-stream'});
    }

    function offerDownload(blob, name) {
        const url = URL.createObjectURL(blob);
        const link = document.createElement('a');
        link.href = url;
        link.download = name;
        link.hidden = true;
        document.body.append(link);
        link.click();
        link.remove();
        setTimeout(() => URL.revokeObjectURL(url), 60000);
    }

    // Apply's copy, written where the browser lets the player choose the
    // place (starting beside the save), else offered as a download. The model
    // hears what became of it; a copy written or offered takes its name.
    async function writeCopy(source, output, patches) {
        const start = performance.now();
        const name = output.slice(output.lastIndexOf('/') + 1);
        const picked = held.get(source);
        let fate = M.copyFailed;
        let failure = '';
        try {
            const blob = copyOf(picked.file, patches);
            if (fileSystemAccess()) {
                const options = {suggestedName: name};
                if (picked.handle) options.startIn = picked.handle;
                const handle = await window.showSaveFilePicker(options);
                showProgress(M.progressName(true));
                const writable = await handle.createWritable();
                try {
                    await writable.write(blob);
                    await writable.close();
                } catch (error) {
                    await writable.abort().catch(() => {});
                    throw error;
                }
                fate = M.copyWritten;
            } else {
                offerDownload(blob, name);
                fate = M.copyOffered;
            }
        } catch (error) {
            if (error && error.name === 'AbortError') fate = M.copyCancelled;
            else failure = (error && error.name) || 'Error';
        } finally {
            hideProgress();
        }
        if (fate === M.copyWritten || fate === M.copyOffered)
            M.FS.writeFile(output, new Uint8Array(0)); // the name is taken
        if (editor) editor.copyFinished(fate, failure);
        performance.measure('varnholt copy', {start});
    }

    // The empty page says that a save can be dropped on it.
    function showDropHint() {
        const hint = byId('drop-hint');
        hint.textContent = M.dropHint();
        hint.hidden = !!editor && editor.control(M.idOutputPath).text !== '';
    }

    // --- The editor's host ------------------------------------------------------

    const editorHost = {
        showMessage,
        openFilePicker,
        writeCopy,
        setBusy: (busy) => {
            document.body.classList.toggle('busy', busy);
            byId('editor').setAttribute('aria-busy', String(busy));
        },
        setWindowTitle: (title) => {
            document.title = title;
            byId('window-title').textContent = title;
        },
        attachPictures: (id) => showPicture(id),
        addMenuEntries: (entries) => {
            const menu = byId('window-menu');
            for (const entry of entries) {
                if (entry.separator) continue;
                const button = document.createElement('button');
                button.type = 'button';
                button.textContent = entry.text;
                button.addEventListener('click', () => editor.userMenuCommand(entry.commandId));
                menu.append(button);
            }
        },
        runAboutBox,
        setFocus: (id) => {
            if (dialogOpen()) pendingFocus = id;
            else controls.get(id)?.focus();
        },
        selectAllText: (id) => {
            if (dialogOpen()) pendingSelect = id;
            else controls.get(id)?.select();
        },
        controlChanged: mirror,
        // Close ends this editing: the page starts afresh, as the program
        // would when opened again. A page is not closed by its own script.
        endModal: () => setTimeout(startEditor),
    };

    function startEditor() {
        if (editor) editor.delete();
        editor = null;
        removeEarlierFolders([]);
        currentSaveBytes = 0;
        byId('window-menu').replaceChildren();
        editor = new M.Editor(editorHost);
        editor.initialise();
        editorHost.setWindowTitle(editor.windowTitle());
        showDropHint();
    }

    // --- Start ------------------------------------------------------------------

    async function start() {
        // The module's binary is in the page; nothing is fetched.
        const text = byId('module-binary').textContent;
        const binary = atob(text);
        const bytes = new Uint8Array(binary.length);
        for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
        M = await createVarnholt({wasmBinary: bytes});
        const query = new URLSearchParams(window.location.search);
        const wanted = Array.from(navigator.languages || [navigator.language || 'en']);
        const language = M.startLanguage(wanted, query.get('lang') || '');
        document.documentElement.lang = language === 'pseudo' ? 'en' : language;
        M.FS.mkdir(M.savesFolder);
        makeMessageBox();
        buildEditor();
        startEditor();
        connectFiles();
        byId('editor').setAttribute('aria-busy', 'false');
        // The first frame that shows the form has been painted once this runs.
        requestAnimationFrame(() => setTimeout(() => performance.mark('varnholt-usable')));
    }

    start();
})();
