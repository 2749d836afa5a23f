// The layout rules: a dialog description's rectangles become rows, clusters,
// columns and groups. Pure: nothing here touches the page, so the rules are
// tested without a browser (tests/web/layout.test.mjs).

const within = (c, g) =>
    c !== g && c.x >= g.x && c.y >= g.y && c.x + c.width <= g.x + g.width &&
    c.y + c.height <= g.y + g.height;

// A static text that shows a value (a saved game's names, the status).
export const isValue = (c) => c.kind === 'label' && c.id >= 0 && c.shown === '';

// Whether a control takes the room its row has: a group, a wide box or value.
export const grows = (c) =>
    c.kind === 'group' || (c.width >= 100 && (c.kind === 'text' || isValue(c)));

// The controls of a description as rows. A group box holds the controls
// inside its rectangle, as rows of its own. In each container the controls
// that share a line form a row, controls above one another within a row form
// a column (the radio buttons of a group), a row starts as far in as the
// layout indents it (`indent`, in dialog units), and a control without a
// caption of its own (a box, a list, a value) stays in the cluster of the one
// before it. The order, and so the Tab order, follows the rectangles.
//
// A row is {indent, clusters}; a cluster is {grows, items}; an item is
// {control}, {group, rows} or {column, radioGroup} (radioGroup: the group of
// a column that is one pair of radio buttons, else null).
export function arrange(controls) {
    const groups = controls.filter((c) => c.kind === 'group');
    const parentOf = (c) => {
        let best = null;
        for (const g of groups) if (within(c, g) && (!best || within(g, best))) best = g;
        return best;
    };
    const members = new Map([[null, []]]);
    for (const g of groups) members.set(g, []);
    for (const c of controls) members.get(parentOf(c)).push(c);

    const item = (c) => (c.kind === 'group' ? {group: c, rows: fill(members.get(c))} : {control: c});
    const fill = (items) => {
        if (!items.length) return [];
        const left = Math.min(...items.map((c) => c.x));
        const lines = [];
        for (const c of [...items].sort((a, b) => a.y - b.y || a.x - b.x)) {
            const line = lines[lines.length - 1];
            if (line && c.y < line.bottom) {
                line.items.push(c);
                line.bottom = Math.max(line.bottom, c.y + c.height);
            } else {
                lines.push({items: [c], bottom: c.y + c.height});
            }
        }
        return lines.map((line) => {
            const columns = [];
            for (const c of [...line.items].sort((a, b) => a.x - b.x || a.y - b.y)) {
                const column = columns.find((k) => c.x < k.right && k.left < c.x + c.width);
                if (column) {
                    column.items.push(c);
                    column.right = Math.max(column.right, c.x + c.width);
                } else {
                    columns.push({items: [c], left: c.x, right: c.x + c.width});
                }
            }
            const clusters = [];
            let cluster = null;
            for (const column of columns) {
                column.items.sort((a, b) => a.y - b.y);
                const single = column.items.length === 1 ? column.items[0] : null;
                let placed;
                if (single) {
                    placed = item(single);
                } else {
                    const first = column.items[0];
                    const pair = column.items.every((c) => c.kind === 'radio' && c.radioGroup === first.radioGroup);
                    placed = {column: column.items.map(item), radioGroup: pair ? first.radioGroup : null};
                }
                const follows = cluster && single &&
                    (isValue(single) || ['text', 'list', 'spin', 'picture'].includes(single.kind));
                if (!follows) {
                    cluster = {grows: false, items: []};
                    clusters.push(cluster);
                }
                cluster.items.push(placed);
                if (single && grows(single)) cluster.grows = true;
            }
            return {indent: Math.min(...line.items.map((c) => c.x)) - left, clusters};
        });
    };
    return fill(members.get(null));
}

// A stored caption split at its access key, the letter after its one single
// '&' ("&&" stands for "&"): {before, key, after}, or null where it has none.
export function accessKeyParts(caption) {
    let shown = '';
    let key = -1;
    for (let i = 0; i < caption.length; ++i) {
        if (caption[i] === '&' && i + 1 < caption.length) {
            ++i;
            if (caption[i] !== '&' && key < 0) key = shown.length;
        }
        shown += caption[i];
    }
    return key < 0 ? null : {before: shown.slice(0, key), key: shown[key], after: shown.slice(key + 1)};
}
