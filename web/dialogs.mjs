// The page's own dialogs: message boxes, shown one after another, and the
// About box over its model.

import {layOut, makeElements} from './controls.mjs';

const byId = (id) => document.getElementById(id);

// The dialogs of one page; `afterLast` runs when the last of them has closed.
export function makeDialogs(M, afterLast) {
    let about = null; // the About box's model and elements while it runs

    // --- Message boxes: the page's own dialogs, shown one after another --------

    const messages = [];
    let showingMessage = false;

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
            if (!about) afterLast();
            return;
        }
        byId('message-caption').textContent = message.caption;
        byId('message-text').textContent = message.text;
        byId('message-icon').className = message.icon;
        box.setAttribute('role', message.icon === 'information' ? 'dialog' : 'alertdialog');
        box.showModal();
        byId('message-ok').focus();
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
        const {outer, inner} = makeElements(desc, 'a', M);
        // The contact address becomes the link.
        const contact = desc.controls.find((c) => c.id === M.idContactAddress);
        const link = document.createElement('a');
        link.id = 'about-link';
        outer[contact.index] = inner[contact.index] = link;
        layOut(desc, form, (c) => outer[c.index], M);
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
                if (!showingMessage) afterLast();
            });
        });
        const focus = model.initDialog(contact.shown);
        showLink();
        dialog.showModal();
        const first = desc.controls.find((c) => c.id === focus);
        if (first) inner[first.index].focus();
    }

    return {showMessage, runAboutBox, makeMessageBox, isOpen: dialogOpen};
}
