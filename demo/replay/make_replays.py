#!/usr/bin/env python3
# Writes the demo's replay inputs (demo/replay/*.txt) for tests/demo/demo_replay_test.cpp:
#   python3 demo/replay/make_replays.py        (from the repository's top folder)
# Run it again when the story's pages, choices or waits change, then check the test.
# Tokens: E Enter; D Down+Enter; Q Down Down Enter (the
# title's 结束); W nothing (2 s); @Key a key press taking 0.8 s; #text a comment line;
# !line a raw event line at the current time (its time is added); +ms extra time.
import os, sys
from collections import deque

HERE = os.path.dirname(os.path.abspath(__file__))

def maze_keys(maze_text):
    """The key presses from (0, 0) facing east through event 5, then to event 9 (an E after each)."""
    rows=[l.rstrip('\n') for l in open(maze_text) if not l.startswith('#')]
    rows=[r for r in rows if r.strip()]
    H=(len(rows)-1)//2; W=(len(rows[0])-1)//4
    def ch(r,c): 
        line=rows[r]; return line[c] if c<len(line) else ' '
    def open_dir(x,y,d):
        # d: 0 east,1 north,2 west,3 south
        if d==0: return x+1<W and ch(2*y+1,4*(x+1))==' '
        if d==2: return x-1>=0 and ch(2*y+1,4*x)==' '
        if d==1: return y-1>=0 and ch(2*y,4*x+2)==' '
        if d==3: return y+1<H and ch(2*y+2,4*x+2)==' '
    ev={}
    for y in range(H):
        for x in range(W):
            t=rows[2*y+1][4*x+1:4*x+4].strip()
            if t: ev[int(t)]=(x,y)
    dx=[1,0,-1,0]; dy=[0,-1,0,1]
    def bfs(s,g):
        prev={s:None}; q=deque([s])
        while q:
            c=q.popleft()
            if c==g: break
            for d in range(4):
                if open_dir(c[0],c[1],d):
                    n=(c[0]+dx[d],c[1]+dy[d])
                    if n not in prev: prev[n]=c; q.append(n)
        path=[g]
        while prev[path[-1]]: path.append(prev[path[-1]])
        return path[::-1]
    keys=[]; pos=(0,0); head=0
    for target in (ev[5],ev[9]):
        p=bfs(pos,target)
        for a,b in zip(p,p[1:]):
            d=[k for k in range(4) if (a[0]+dx[k],a[1]+dy[k])==b][0]
            turn=(d-head)%4
            if turn==1: keys.append('Left')
            elif turn==3: keys.append('Right')
            elif turn==2: keys+=['Left','Left']
            keys.append('Up'); head=d
        pos=target
        keys.append('E')
    return keys


def build(tokens, header):
    t=3000; out=[f"# {l}" for l in header]
    def key(name,at): out.extend([f"{at} key down {name}", f"{at+50} key up {name}"])
    for a in tokens:
        if a.startswith('#'): out.append(f"# {a[1:]}"); continue
        if a.startswith('!'): out.append(f"{t} {a[1:]}"); continue
        if a.startswith('+'): t+=int(a[1:]); continue
        if a.startswith('@'): key(a[1:],t); t+=800; continue
        if a=='E': key('Enter',t)
        elif a=='D': key('Down',t); key('Enter',t+500)
        elif a=='Q': key('Down',t); key('Down',t+400); key('Enter',t+800)
        t+=2000
    return "\n".join(out)+"\n", t
def E(n): return ['E']*n
maze=maze_keys(os.path.join(HERE, '..', 'maze', 'MAZE.txt'))
maze=['@'+k if k!='E' else 'E' for k in maze]
cut=maze.index('E')
title=['#the title: 开始']+['E']
harbor=['#chapter 1, the harbour: 14 pages']+E(14)
light=['#chapter 4, the lighthouse: 20 pages and the two questions (the unasked one comes first)']+E(20)
dawn=['+3000','#chapter 5, dawn: the sunrise in thirteen pictures, 4 pages, then the credits scroll']+E(4)+['W']*20+['#the title again: 结束']+['Q']
A,endA=build(title+harbor+['#the crossroads: the coast road']+['E']+['#chapter 2, the coast: 10 pages']+E(10)+light+dawn,
  ["The demo played through by the coast road, with the keys (2 s a step).",
   "Made for tests/demo/demo_replay_test.cpp; each line is an event of docs/headless-events.md."])
B,endB=build(title+harbor+['#the crossroads: the tunnel, clicked with the mouse',f'!mouse move 120 455','+500','!mouse down left','+50','!mouse up left','+1450']
  +['#chapter 3, the tunnel: 4 pages']+E(4)+['+1500','#the maze (a step 0.8 s): the first turn clicked on the right of the view',
    '!mouse move 560 240','+100','!mouse down left','+50','!mouse up left','+650']
  +maze[1:cut]+['#event 5: the brass key']+['E']+maze[cut+1:-1]+['+2000','#event 9: out of the tunnel, one page']+['E']+light+dawn,
  ["The demo played through by the old tunnel and its maze: the mouse for the crossroads and a turn,",
   "the arrow keys in the maze. Made for tests/demo/demo_replay_test.cpp."])
C,endC=build(['#the title: the pointer onto 开始, a click','!mouse move 100 298','+500','!mouse down left','+50','!mouse up left','+1450',
   '#two pages, then S: the save screen, Enter saves into slot 1','E','E','!key down S','+50','!key up S','+1950','E',
   '#the page goes on; three more pages (the letter is given)','E','E','E',
   '#Space shows the item window, Space in it hides it; Tab hides the message window and brings it back',
   '!key down Space','+50','!key up Space','+1950','!key down Space','+50','!key up Space','+1950',
   '!key down Tab','+50','!key up Tab','+1950','!key down Tab','+50','!key up Tab','+1950',
   'E','E','E','E','E','E','E','E','E','E','E','#the crossroads: the coast','E',
   '#the coast, first page: the command menu\'s load (40036), slot 1','!command 40036','+2000','E',
   '#the harbour again from the start of the saved scene: two pages, then the window is closed and the quit confirmed',
   'E','E','!close','+1000','!answer OK','+3000'],
  ["The demo's save and load: the mouse on the title, S and the save screen, the item window,",
   "Tab, the command menu's load, closing the window. Made for tests/demo/demo_replay_test.cpp."])
D,endD=build(['#the title: 读取 (Down, Enter), the load screen, Enter loads slot 1','D','E',
   '#the harbour from the saved scene; one page, then Alt+F4 and the quit confirmed','E','!key down Alt','+20','!key down F4','+50','!key up F4','!key up Alt','+1000','!answer OK','+3000'],
  ["The demo's title loading the game that saves.txt saved. Made for tests/demo/demo_replay_test.cpp."])
for name,text,end in [('coast',A,endA),('tunnel',B,endB),('saves',C,endC),('title_load',D,endD)]:
    open(os.path.join(HERE, f'{name}.txt'),'w').write(text); print(name, end, 'ms')
